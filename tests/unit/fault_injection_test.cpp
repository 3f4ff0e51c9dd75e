// Every platform call of a few everyday scenarios failed in turn, in each way Windows fails it, in
// a fresh copy of the program: it goes on (in start-up: says why, then ends), tells the player at
// most once and only where the job was not done, and leaves every file either as it was or whole.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "capture/save_it.h"
#include "form_harness.h"
#include "input/key_watch.h"
#include "settings/reg_support.h"

namespace rk {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using FileMap = std::map<std::string, Bytes>;

const std::string kProgram = "C:\\Games\\Ironveil";  // where the harness runs the program from
const std::string kShots = "C:\\Shots";
const std::string kProfile = kProgram + "\\Profile\\Player.cfg";

std::uint64_t hashOf(const Bytes& bytes) {
    std::uint64_t h = 14695981039346656037ull;
    for (std::uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
    return h;
}

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// Every file of both stores, by store and lower-case name.
FileMap filesOf(FormHarness& h) {
    FileMap all;
    for (auto& [name, bytes] : h.captureFiles.contents()) all["shots:" + name] = bytes;
    for (auto& [name, bytes] : h.textFiles.store().contents()) all["text:" + name] = bytes;
    return all;
}

std::uint32_t le32(const Bytes& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t{b[at + 3]} << 24;
}

// A picture file that was written to its end: its own length, or its end marker, says so.
bool wholePicture(const std::string& name, const Bytes& b) {
    if (name.ends_with(".bmp"))
        return b.size() >= 54 && b[0] == 'B' && b[1] == 'M' && le32(b, 2) == b.size();
    if (name.ends_with(".jpg")) {
        return b.size() >= 4 && b[0] == 0xFF && b[1] == 0xD8 && b[b.size() - 2] == 0xFF &&
               b.back() == 0xD9;
    }
    return false;
}

std::string filesOutcome(FormHarness& h, std::string_view folder) {
    std::string out;
    for (const std::string& name : h.captureFiles.filesIn(folder)) {
        const auto* file = h.captureFiles.file(std::string(folder) + "\\" + name);
        out += name + "=" + std::to_string(hashOf(file->bytes)) + " ";
    }
    return out;
}

FakeImage testPicture(std::uint32_t seed) {
    // Tall enough that two threads share the JPEG and the reads come in several bands.
    FakeImage image{48, 80, {}};
    for (std::int32_t i = 0; i < image.width * image.height; ++i)
        image.pixels.push_back((seed + static_cast<std::uint32_t>(i) * 2654435761u) & 0xFFFFFF);
    return image;
}

void putSetting(FormHarness& h, std::string_view name, std::string_view text) {
    h.registry.putText(RegRoot::LocalMachine, kSettingsKey, name, text, RegView::Wow32);
}

std::string profileWith(std::string_view nick) {
    std::string text;
    for (int line = 1; line <= 70; ++line) {
        text +=
            line == 64 ? "\"name\" \"" + std::string(nick) + "\"" : "seta l" + std::to_string(line);
        text += "\r\n";
    }
    return text;
}

// Failures the program passes over without a word wherever they happen: a setting that cannot be
// read or stored, the priority, the tray icon, a keyboard read (the device is taken again, the
// tick skipped), the times and marks of a replaced file.
bool passedOverEverywhere(Call call) {
    switch (call) {
        case Call::RegistryOpen:
        case Call::RegistryCreate:
        case Call::RegistryQuery:
        case Call::RegistrySet:
        case Call::Priority:
        case Call::TrayNotify:
        case Call::KeyboardRead:
        case Call::KeyboardReacquire:
        case Call::FileStamp:
            return true;
        default:
            return false;
    }
}

struct Scenario {
    std::string name;
    bool startUp = false;
    // The machine before the program starts.
    std::function<void(FormHarness&)> prepare;
    // What the player does; start-up is the load itself.
    std::function<void(FormHarness&)> act;
    // What the player is after, to compare with the fault-free run's.
    std::function<std::string(FormHarness&)> outcome;
    // The same again once the fault is gone: true when it did its job.
    std::function<bool(FormHarness&)> again;
    // Failures of this scenario that must never reach the player, beyond passedOverEverywhere.
    std::function<bool(Call)> passedOver = [](Call) { return false; };
};

// Print Screen while the screen shows the picture: Windows puts it on the clipboard.
void showAndPrint(FormHarness& h, const FakeImage& picture) {
    h.gdi.screen = picture;
    h.clipboard.putBitmap(picture);
    h.press(dik::kSysRq);
}

void printWithoutWindowsPicture(FormHarness& h) {
    h.press(dik::kSysRq);
    std::this_thread::sleep_for(kClipboardWait + 10ms);
    h.tick();
}

bool screenshotAgain(FormHarness& h) {
    const std::string files = filesOutcome(h, kShots);
    const std::size_t boxes = h.dialogs.shown.size();
    showAndPrint(h, testPicture(7));
    return filesOutcome(h, kShots) != files && h.dialogs.shown.size() == boxes;
}

// Print Screen stored in a folder that holds a visible shot 1 and a hidden shot 2, which the first
// new shot replaces.
Scenario screenshotScenario(std::string name, std::string format, std::string extension) {
    Scenario s;
    s.name = std::move(name);
    s.prepare = [format, extension](FormHarness& h) {
        putSetting(h, "ScreenFolder", kShots + "\\ScreenShot");
        putSetting(h, "ScreenyFormat", format);
        h.captureFiles.addFolder(kShots);
        h.captureFiles.addFile(kShots + "\\ScreenShot1" + extension, bytesOf("shown"));
        h.captureFiles.addFile(kShots + "\\ScreenShot2" + extension, bytesOf("hidden"),
                               fileattr::kHidden | fileattr::kArchive, FileTimes{1, 2, 3});
    };
    // Two shots: the second one's surface is kept from the first.
    s.act = [](FormHarness& h) {
        h.tick();
        showAndPrint(h, testPicture(1));
        showAndPrint(h, testPicture(2));
    };
    s.outcome = [](FormHarness& h) { return filesOutcome(h, kShots); };
    s.again = screenshotAgain;
    // A surface that cannot be made or filled stores nothing and says nothing.
    s.passedOver = [](Call call) { return call == Call::GdiMake || call == Call::GdiRead; };
    return s;
}

// Pause: with the game running the game ends, by Kill.exe or directly; without it nothing happens.
Scenario pauseScenario(std::string name, bool game, bool killer) {
    Scenario s;
    s.name = std::move(name);
    s.prepare = [game, killer](FormHarness& h) {
        if (killer)
            h.files.addFile(kProgram + "\\Kill.exe");
        if (game)
            h.startGame();
    };
    s.act = [](FormHarness& h) { h.press(dik::kPause); };
    // Kill.exe started or the game's process ended by the program itself: either ends the game.
    s.outcome = [](FormHarness& h) {
        const bool gameRuns = h.gamePid != 0 && h.processes.running(h.gamePid);
        return h.processes.started.empty() && gameRuns ? "game left running" : "game ended";
    };
    s.again = [game](FormHarness& h) {
        const std::size_t boxes = h.dialogs.shown.size();
        if (!game) {
            h.press(dik::kPause);
            return h.processes.started.empty() && h.dialogs.shown.size() == boxes;
        }
        if (!h.processes.running(h.gamePid))
            h.startGame();
        const std::size_t killers = h.processes.started.size();
        h.press(dik::kPause);
        return (h.processes.started.size() == killers + 1 || !h.processes.running(h.gamePid)) &&
               h.dialogs.shown.size() == boxes;
    };
    return s;
}

void PrintTo(const Scenario& s, std::ostream* out) {
    *out << s.name;
}

std::vector<Scenario> scenarios() {
    std::vector<Scenario> all;

    Scenario startUp;
    startUp.name = "StartUp";
    startUp.startUp = true;
    startUp.prepare = [](FormHarness& h) {
        h.captureFiles.addFolder(kProgram);
        h.captureFiles.addFolder(kProgram + "\\Profile");
        putSetting(h, "KeyBind1", "gg $a");
        putSetting(h, "ScreenyFormat", "Bmp");
        putSetting(h, "MSN", "True");
        putSetting(h, "JPGQuality", "85");
    };
    startUp.act = [](FormHarness& h) { h.load(); };
    startUp.outcome = [](FormHarness& h) {
        if (h.form.ended())
            return std::string("ended");
        Controls& c = h.controls;
        return "running, title " + h.shell.mainTitle() + ", icons " +
               std::to_string(h.tray.icons.size()) + ", " + c.text("oText1") + "|" +
               std::to_string(c.value("Option1")) + std::to_string(c.value("Check1")) +
               std::to_string(c.enabled("txtJPGQuality")) + "|" + c.text("Text1") + "|" +
               c.text("txtJPGQuality") + "|" + h.form.ScreenPrefix;
    };
    startUp.again = [](FormHarness& h) {
        const int reads = h.keyboard.reads;
        h.tick();
        return h.keyboard.reads > reads;
    };
    // Where the game and the screenshots live is found from folders that may not answer.
    startUp.passedOver = [](Call call) {
        return call == Call::FileLookUp || call == Call::FolderProbe || call == Call::KnownFolder;
    };
    all.push_back(startUp);

    Scenario settings;
    settings.name = "SettingsChange";
    settings.act = [](FormHarness& h) {
        h.controls.type("oText1", "gg $a");
        h.controls.click("Check1");
        h.controls.type("txtJPGQuality", "90");
        h.controls.click("cmdSetJPGQuality");
        h.controls.click("Option1");
        h.fileDialogs.willAnswer(kShots + "\\Raid");
        h.controls.click("Command1");  // "&Set Folder"
        h.controls.click("Command4");  // "&Open Folder"
    };
    settings.outcome = [](FormHarness& h) {
        std::string out;
        for (auto name : {"KeyBind1", "MSN", "JPGQuality", "ScreenyFormat", "ScreenFolder"})
            out += ReadSetting(h.registry, name) + "|";
        return out + h.form.ScreenPrefix + "|browsers " +
               std::to_string(h.processes.started.size());
    };
    settings.again = [](FormHarness& h) {
        h.controls.type("oText1", "again");
        return ReadSetting(h.registry, "KeyBind1") == "again";
    };
    all.push_back(settings);

    all.push_back(screenshotScenario("PrintScreenBmp", "Bmp", ".bmp"));
    all.push_back(screenshotScenario("PrintScreenJpeg", "Jpg", ".jpg"));
    // Windows' picture never comes (as under Wine): the screen copied at the press is stored
    // once the wait for it is over.
    Scenario copied = screenshotScenario("PrintScreenJpegFromTheScreen", "Jpg", ".jpg");
    copied.act = [](FormHarness& h) {
        h.tick();
        h.gdi.screen = testPicture(1);
        printWithoutWindowsPicture(h);
    };
    copied.again = [](FormHarness& h) {
        const std::string files = filesOutcome(h, kShots);
        const std::size_t boxes = h.dialogs.shown.size();
        h.gdi.screen = testPicture(7);
        printWithoutWindowsPicture(h);
        return filesOutcome(h, kShots) != files && h.dialogs.shown.size() == boxes;
    };
    all.push_back(copied);

    Scenario profile;
    profile.name = "ProfileOpenThenOk";
    profile.prepare = [](FormHarness& h) { h.textFiles.addFile(kProfile, profileWith("Bob")); };
    profile.act = [](FormHarness& h) {
        h.fileDialogs.willAnswer(kProfile);
        h.controls.click("Open_profile");
        h.controls.type("Text2", "Ann");
        h.controls.click("SetNickName");
    };
    profile.outcome = [](FormHarness& h) {
        return h.textFiles.contents(kProfile).value_or("<gone>") + "|" + h.controls.text("Text2");
    };
    profile.again = [](FormHarness& h) {
        h.fileDialogs.willAnswer(kProfile);
        h.controls.click("Open_profile");
        h.controls.type("Text2", "Cy");
        h.controls.click("SetNickName");
        return h.textFiles.contents(kProfile) == profileWith("Cy");
    };
    all.push_back(profile);

    Scenario chat;
    chat.name = "ChatLineF9";
    chat.prepare = [](FormHarness& h) { putSetting(h, "KeyBind1", "gg $a"); };
    chat.act = [](FormHarness& h) { h.press(dik::kF9); };
    chat.outcome = [](FormHarness& h) {
        std::string out;
        for (const std::string& line : h.keys.sentLines) out += line + "|";
        return out;
    };
    chat.again = [](FormHarness& h) {
        const std::size_t lines = h.keys.sentLines.size();
        h.press(dik::kF9);
        return h.keys.sentLines.size() == lines + 1;
    };
    all.push_back(chat);

    all.push_back(pauseScenario("PauseWithGameAndKiller", true, true));
    all.push_back(pauseScenario("PauseWithGameNoKiller", true, false));
    all.push_back(pauseScenario("PauseWithoutGame", false, true));
    return all;
}

// What one run of a scenario left behind.
struct RunResult {
    FileMap before;
    FileMap after;
    std::string outcome;
    std::size_t boxes = 0;
    std::vector<Call> calls;
    std::optional<FaultPlan::Injected> injected;
    std::string escaped;  // an error that got past the dispatcher
};

struct Fault {
    int number;
    Failure failure;
};

RunResult runScenario(const Scenario& s, FormHarness& h, std::optional<Fault> fault) {
    RunResult run;
    if (s.prepare)
        s.prepare(h);
    if (!s.startUp)
        h.load();
    run.before = filesOf(h);
    const std::size_t shown = h.dialogs.shown.size();
    fault ? h.faults.failCall(fault->number, fault->failure) : h.faults.count();
    try {
        s.act(h);
    } catch (const std::exception& e) {
        run.escaped = e.what();
    } catch (...) {
        run.escaped = "an exception of unknown type";
    }
    h.faults.stop();
    run.calls = h.faults.calls();
    run.injected = h.faults.injected();
    run.after = filesOf(h);
    run.outcome = s.outcome(h);
    run.boxes = h.dialogs.shown.size() - shown;
    return run;
}

bool runs(FormHarness& h) {
    return !h.form.ended() && h.shell.mainExists() && h.dispatcher.modalDepth() == 0 &&
           !h.dispatcher.inTick();
}

// Files are each as they were, as the fault-free run left them, or a picture written whole (another
// shot than the fault-free run's, where a failure moved the shots on); nothing half-written is left
// under any name.
void expectFilesWhole(const RunResult& run, const RunResult& clean) {
    for (const auto& [name, bytes] : run.after) {
        EXPECT_EQ(name.find(".rktmp"), std::string::npos) << "left behind: " << name;
        const auto old = run.before.find(name);
        const auto made = clean.after.find(name);
        const bool asBefore = old != run.before.end() && old->second == bytes;
        const bool asFaultFree = made != clean.after.end() && made->second == bytes;
        EXPECT_TRUE(asBefore || asFaultFree || wholePicture(name, bytes))
            << name << " is neither as it was nor whole (" << bytes.size() << " bytes)";
    }
    for (const auto& [name, bytes] : run.before)
        EXPECT_TRUE(run.after.contains(name)) << "gone: " << name;
}

struct Tally {
    std::size_t calls = 0;
    std::size_t cases = 0;
};
std::map<std::string, Tally>& tallies() {
    static std::map<std::string, Tally> all;
    return all;
}

// The number of cases each scenario ran, once all tests are done.
class TallyPrinter : public ::testing::Environment {
  public:
    void TearDown() override {
        for (const auto& [name, tally] : tallies()) {
            std::cout << "fault injection: " << name << ": " << tally.calls << " calls, "
                      << tally.cases << " (call, failure) cases\n";
        }
    }
};
[[maybe_unused]] ::testing::Environment* const kTallyPrinter =
    ::testing::AddGlobalTestEnvironment(new TallyPrinter);

class FaultInjection : public ::testing::TestWithParam<Scenario> {};

TEST_P(FaultInjection, EveryFailedCallLeavesTheProgramRunningFilesWholeAndThePlayerToldAtMostOnce) {
    const Scenario& s = GetParam();
    auto cleanHarness = std::make_unique<FormHarness>();
    const RunResult clean = runScenario(s, *cleanHarness, std::nullopt);
    ASSERT_TRUE(clean.escaped.empty()) << clean.escaped;
    ASSERT_EQ(clean.boxes, 0u) << cleanHarness->dialogs.shown.front().text;
    ASSERT_TRUE(runs(*cleanHarness));
    ASSERT_FALSE(clean.calls.empty());
    ASSERT_TRUE(s.again(*cleanHarness)) << "the fault-free run cannot do it again";

    Tally tally{clean.calls.size(), 0};
    for (std::size_t n = 1; n <= clean.calls.size(); ++n) {
        const Call call = clean.calls[n - 1];
        for (Failure failure : FailuresOf(call)) {
            ++tally.cases;
            SCOPED_TRACE(s.name + ": call " + std::to_string(n) + " (" + std::string(NameOf(call)) +
                         ") fails: " + std::string(NameOf(failure)));
            auto h = std::make_unique<FormHarness>();
            const RunResult run = runScenario(s, *h, Fault{static_cast<int>(n), failure});
            EXPECT_TRUE(run.escaped.empty()) << "escaped the dispatcher: " << run.escaped;
            ASSERT_TRUE(run.injected) << "the same steps no longer reach call " << n;
            EXPECT_EQ(run.injected->call, call);

            EXPECT_LE(run.boxes, 1u) << h->dialogs.shown.back().text;
            const bool quiet = passedOverEverywhere(call) || s.passedOver(call);
            if (quiet) {
                EXPECT_EQ(run.boxes, 0u)
                    << "told of a failure that is passed over: " << h->dialogs.shown.back().text;
            } else if (run.outcome == clean.outcome) {
                EXPECT_EQ(run.boxes, 0u)
                    << "told, though the job was done: " << h->dialogs.shown.back().text;
            } else {
                EXPECT_EQ(run.boxes, 1u) << "not done and not told: " << run.outcome;
            }
            expectFilesWhole(run, clean);

            if (s.startUp && run.boxes > 0) {
                // Start-up that met an error says so, then ends: no window, icon or device left.
                EXPECT_TRUE(h->form.ended());
                EXPECT_FALSE(h->shell.mainExists());
                EXPECT_FALSE(h->shell.infoExists());
                EXPECT_TRUE(h->tray.icons.empty());
                EXPECT_FALSE(h->keyboard.acquired);
                continue;
            }
            if (!runs(*h)) {
                ADD_FAILURE() << "the program stopped: " << run.outcome;
                continue;
            }
            try {
                EXPECT_TRUE(s.again(*h)) << "does not work again once the fault is gone";
            } catch (const std::exception& e) {
                ADD_FAILURE() << "escaped the dispatcher afterwards: " << e.what();
            }
        }
    }
    tallies()[s.name] = tally;
    RecordProperty("cases", static_cast<int>(tally.cases));
}

INSTANTIATE_TEST_SUITE_P(Scenarios, FaultInjection, ::testing::ValuesIn(scenarios()),
                         [](const ::testing::TestParamInfo<Scenario>& info) {
                             return info.param.name;
                         });

}  // namespace
}  // namespace rk
