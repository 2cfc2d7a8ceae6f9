// The demo game CreateGame returns: whatever class is asked for, a window that
// changes colour at about 60 frames a second until the player closes it, or
// until the frame count of -frames=N, then a quit message with -exitcode=K.
// -initfail makes Initialize fail and -crash faults inside the first frame.
#include <thread>

#include "host/modules/engine_module.h"
#include "modules/engine/demo_switches.h"
#include "modules/engine/engine_log.h"
#include "modules/engine/renderer.h"
#include "platform/platform.h"

namespace {

// 60 frames a second; a frame that ends early sleeps the rest of its time.
constexpr int64_t frames_per_second = 60;

int64_t now()
{
    int64_t count = 0;
    platform::query_performance_counter(&count);
    return count;
}

int64_t frequency()
{
    int64_t value = 1;
    platform::query_performance_frequency(&value);
    return value > 0 ? value : 1;
}

// The engine module loads with the process, so this is close to its start.
const int64_t started_at = now();

// An access fault the compiler cannot see coming or remove; the sanitizers are
// kept out of it so that the fault itself reaches the exception guard.
__attribute__((noinline, no_sanitize("address", "undefined"))) void fault()
{
    volatile int* volatile target = nullptr;
    *target = 1;
}

class demo_game final : public IGame {
public:
    explicit demo_game(bool create_window)
        : create_window_(create_window)
    {
    }
    ~demo_game() override { renderer::close(); }

    void SetGameDirectories(const char* working_dir, const char* game_folder, const char* prefix) override
    {
        ENGINE_LOG(Info, "game directories: working '%s', game folder '%s', prefix '%s'\n",
            working_dir ? working_dir : "", game_folder ? game_folder : "", prefix ? prefix : "(none)");
    }

    void SetNamedValue(const string_base& name, const TaggedValue& value) override
    {
        ENGINE_LOG(Info, "named value '%s' (tag %u)\n", name.c_str(), value.type);
    }

    int Initialize(const char* command_line, int, IconHandle, IconHandle, unsigned long, unsigned long,
        IProgressIndicator*) override
    {
        if (create_window_)
            renderer::open("Mire Crest");
        int64_t default_frames = renderer::visible() ? demo::unlimited_frames : demo::headless_frames;
        switches_ = demo::parse_switches(command_line, default_frames);
        if (switches_.refused > 0)
            ENGINE_LOG(Warning, "%d demo switch values were not understood and are ignored\n", switches_.refused);
        if (switches_.init_fail) {
            ENGINE_LOG(Error, "initialisation fails as asked (-initfail)\n");
            return 1;
        }
        ENGINE_LOG(Info, "demo game ready: %lld frames (0: until the window closes), exit code %d\n",
            static_cast<long long>(switches_.frames), switches_.exit_code);
        return 0;
    }

    void OnPaint() override
    {
        int64_t begin = now();
        if (frame_ == 0)
            ENGINE_LOG(Info, "first frame, %.1f ms after start\n", double(begin - started_at) * 1000.0 / frequency());
        if (switches_.crash)
            fault();
        renderer::draw(frame_);
        ++frame_;
        report_progress();
        if (!quit_posted_ && (renderer::close_requested() || (switches_.frames && frame_ >= switches_.frames))) {
            ENGINE_LOG(Info, "quitting after %lld frames with exit code %d\n", static_cast<long long>(frame_),
                switches_.exit_code);
            platform::post_quit_message(switches_.exit_code);
            quit_posted_ = true;
        }
        pace(begin);
    }

private:
    // Every quarter of the frames (every 240 frames when there is no limit).
    void report_progress()
    {
        int64_t every = switches_.frames ? switches_.frames / 4 : 4 * frames_per_second;
        if (every > 0 && frame_ % every == 0)
            ENGINE_LOG(Info, "frame %lld\n", static_cast<long long>(frame_));
    }

    void pace(int64_t begin)
    {
        int64_t period = frequency() / frames_per_second;
        int64_t left = begin + period - now();
        if (left > 0)
            std::this_thread::sleep_for(std::chrono::microseconds(left * 1000000 / frequency()));
    }

    bool create_window_;
    demo::switches switches_;
    int64_t frame_ = 0;
    bool quit_posted_ = false;
};

demo_game* game = nullptr;

} // namespace

IGame* CreateGame(const char* class_name, InstanceHandle, bool create_window, const char* game_folder)
{
    ENGINE_LOG(
        Info, "creating game class '%s' for '%s'\n", class_name ? class_name : "", game_folder ? game_folder : "");
    delete game;
    game = new demo_game(create_window);
    return game;
}

void DestroyGame()
{
    delete game;
    game = nullptr;
    ENGINE_LOG(Info, "game destroyed\n");
}
