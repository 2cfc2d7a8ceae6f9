// SDL teardown on the filesystem module's state: the calls in order, only for
// what it holds, after the dump function is restored; on the crash path too.
#include "host/sdl_teardown.h"

#include "platform/critical_section.h"
#include "tests/host/host_fixture.h"

namespace {

using Calls = std::vector<std::string>;

SDL_Window* fake_window() { return reinterpret_cast<SDL_Window*>(uintptr_t(0x3a1)); }
void* fake_context() { return reinterpret_cast<void*>(uintptr_t(0x6c7)); }

void make_sdl_state(bool window, bool context)
{
    g_SdlManager = new SDL;
    g_SdlManager->window = window ? fake_window() : nullptr;
    g_SdlManager->gl_context = context ? fake_context() : nullptr;
    g_SdlManager->state = 3;
    static platform::critical_section lock; // the module's storage, not the host's
    g_SdlManager->lock = &lock;
    platform::initialize_critical_section(g_SdlManager->lock);
}

Calls sdl_calls() { return platform::fake::calls_starting_with({ "SDL_", "SetDumpFunction(previous)" }); }

TEST_F(HostTest, NormalShutdownTearsSdlDownLast)
{
    make_sdl_state(true, true);
    EXPECT_EQ(run(""), 0);
    EXPECT_EQ(sdl_calls(),
        (Calls { "SetDumpFunction(previous)", "SDL_StopTextInput()", "SDL_GL_DeleteContext(0x6c7)",
            "SDL_DestroyWindow(0x3a1)", "SDL_Quit()" }));
    EXPECT_EQ(g_SdlManager, nullptr);
}

TEST_F(HostTest, TeardownSkipsWhatTheStateDoesNotHold)
{
    make_sdl_state(false, false);
    TeardownSdl();
    EXPECT_EQ(sdl_calls(), (Calls { "SDL_StopTextInput()", "SDL_Quit()" }));
    EXPECT_EQ(g_SdlManager, nullptr);
    TeardownSdl(); // nothing left: no call
    EXPECT_EQ(sdl_calls().size(), 2u);
}

TEST_F(HostTest, CrashHandlerTearsSdlDown)
{
    make_sdl_state(true, false);
    fakes::set().crash_at_frame = 1;
    run("");
    EXPECT_EQ(sdl_calls(),
        (Calls { "SetDumpFunction(previous)", "SDL_StopTextInput()", "SDL_DestroyWindow(0x3a1)", "SDL_Quit()" }));
    EXPECT_EQ(g_SdlManager, nullptr);
}

} // namespace
