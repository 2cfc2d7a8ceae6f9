// The SDL state the filesystem module leaves behind, torn down by the host as
// the last step of a run (also after a crash).
#pragma once

// Stops text input, deletes the GL context, destroys the window and quits SDL
// on g_SdlManager, then deletes it and sets it to null. Nothing when it is null.
void TeardownSdl();
