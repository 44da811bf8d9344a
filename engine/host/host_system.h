// Host system services: the program's directory, a blocking message box,
// opening a document with the desktop's default handler, and the event pump
// that waits call while they spin.
#pragma once

#include <cstddef>

struct SDL_Window;

// Directory of the running executable (from /proc/self/exe) without a trailing
// separator, written into buffer (capacity bytes, always NUL-terminated).
// Returns false and leaves an empty string when it cannot be read or does not
// fit.
bool HostProgramDirectory(char *buffer, size_t capacity);

// Test seam: while set (non-null), HostProgramDirectory returns this directory
// instead of the executable's. nullptr restores the real one.
void HostOverrideProgramDirectory(const char *directory);

// Modal message box with an OK button. Without a display (no X11/Wayland, or
// the offscreen/dummy video driver) it prints "title: text" on stderr and
// returns at once. Returns 1 (OK) when shown or printed, 0 when it failed.
int HostMessageBox(const char *title, const char *text);

// Set by the window layer: called before a message box is shown; leaves full
// screen and returns the window that owns the box (or nullptr for none).
extern SDL_Window *(*HostMessageBoxOwner)();

// Opens target (a file or URL) with "xdg-open" through posix_spawnp, never a
// shell, and reaps the child. Blocks until the opener exits; callers that must
// not block run it on a thread of their own. Returns false when it could not
// be started or exited with an error.
bool HostOpenDocument(const char *target);

// Test seam: the program HostOpenDocument starts (default "xdg-open").
void HostSetOpenProgram(const char *program);

// Event pump used by waits that must keep the window responsive. The window
// layer sets it to its own event processing; while null, pumping does nothing.
extern void (*HostPumpEvents)();
