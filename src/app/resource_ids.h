// Resource ids shared by raidkit.rc and the window code.
#pragma once

#define IDI_RAIDKIT_MAIN 101
#define IDI_RAIDKIT_INFO 102
