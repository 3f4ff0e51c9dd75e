#include "fake_controls.h"

#include <stdexcept>

namespace rk {

FakeControls::FakeControls(const WindowSpec& window) {
    for (const auto& design : window.controls) {
        controls_.emplace(std::string(design.name),
                          State{&design, std::string(design.caption), design.selected});
    }
}

FakeControls::State& FakeControls::at(std::string_view control) {
    auto it = controls_.find(control);
    if (it == controls_.end())
        throw std::logic_error("no control " + std::string(control));
    return it->second;
}

const FakeControls::State& FakeControls::state(std::string_view control) const {
    return controls_.find(control)->second;
}

void FakeControls::raise(std::string_view control, ControlEvent event) {
    if (onEvent)
        onEvent(control, event);
}

std::string FakeControls::text(std::string_view control) {
    return at(control).text;
}

void FakeControls::setText(std::string_view control, std::string_view text) {
    State& s = at(control);
    if (s.text == text)
        return;
    s.text = std::string(text);
    raise(control, ControlEvent::Change);
}

bool FakeControls::value(std::string_view control) {
    return at(control).value;
}

void FakeControls::setValue(std::string_view control, bool on) {
    State& s = at(control);
    if (s.value == on)
        return;
    s.value = on;
    if (on && s.design->kind == ControlKind::OptionButton) {
        for (auto& [name, other] : controls_) {
            if (&other != &s && other.design->kind == ControlKind::OptionButton &&
                other.design->parent == s.design->parent)
                other.value = false;
        }
    }
    raise(control, ControlEvent::Click);
}

bool FakeControls::enabled(std::string_view control) {
    return at(control).enabled;
}
void FakeControls::setEnabled(std::string_view control, bool on) {
    at(control).enabled = on;
}

void FakeControls::type(std::string_view control, std::string_view text) {
    State& s = at(control);
    if (!s.enabled)
        return;
    // The length limit holds for what the player types, not for what the program sets.
    if (s.design->maxLength > 0 && text.size() > static_cast<size_t>(s.design->maxLength)) {
        text = text.substr(0, s.design->maxLength);
    }
    setText(control, text);
}

void FakeControls::click(std::string_view control) {
    State& s = at(control);
    if (!s.enabled)
        return;
    switch (s.design->kind) {
        case ControlKind::CheckBox:
            setValue(control, !s.value);
            break;
        case ControlKind::OptionButton:
            if (s.value) {
                raise(control, ControlEvent::Click);  // clicking a selected option clicks again
            } else {
                setValue(control, true);
            }
            break;
        default:
            raise(control, ControlEvent::Click);
    }
}

bool FakeTray::notify(TrayCommand command, const TrayRecord& record) {
    if (fault(Call::TrayNotify) || refuse)
        return false;
    auto key = std::make_pair(record.hWnd, record.uID);
    if (command == TrayCommand::Add) {
        if (record.cbSize == 0 || icons.contains(key))
            return false;
        icons[key] = record;
        return true;
    }
    return icons.erase(key) > 0;
}

}  // namespace rk
