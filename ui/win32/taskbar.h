// Zelkor3D on the Windows taskbar: the launcher (Zelkor3D.exe) and the
// window program it starts are one application there. A pinned window
// restarts the launcher, which starts the draw service the window lists
// draws from; the window program started alone would show an empty list.
#pragma once

#include <windows.h>
//
#include <propsys.h>

#include <string>

namespace zelkor::win32 {

// The AppUserModelID every Zelkor3D process and window shares.
inline constexpr wchar_t kAppUserModelId[] = L"Zelkor3D.Zelkor3D";

// Puts the calling process in Zelkor3D's taskbar group. Call before the
// process shows any window.
void JoinTaskbarGroup();

// The folder of the running program, with its trailing separator.
[[nodiscard]] std::wstring ProgramFolder();

// Gives `window` Zelkor3D's AppUserModelID, with the launcher as the command
// the taskbar runs for it (pinned, or from its jump list). False when the
// system keeps no such properties.
bool SetTaskbarIdentity(HWND window);

// Writes those properties (the ID, the relaunch command, its name and icon)
// to `store`; false when one could not be written.
[[nodiscard]] bool WriteTaskbarIdentity(IPropertyStore& store);

}  // namespace zelkor::win32
