// The asset manager stand-in: remembers how it was started and logs it; the
// demo game loads no assets.
#include <thread>

#include "host/modules/engine_module.h"
#include "modules/engine/engine_log.h"

namespace {

class asset_manager final : public AssetManager {
public:
    void Initialize(const char* game_folder, const char* working_dir, int workers, bool streaming, void*) override
    {
        workers_ = workers;
        ENGINE_LOG(Info, "asset manager for '%s' in '%s': %d workers, streaming %s\n", game_folder ? game_folder : "",
            working_dir ? working_dir : "", workers, streaming ? "on" : "off");
    }
    void Shutdown() override { ENGINE_LOG(Info, "asset manager shut down\n"); }
    int GetLoadedCount() override { return 0; }
    // One worker per logical processor but the main thread's, at least one.
    int GetDefaultWorkerCount() override
    {
        unsigned processors = std::thread::hardware_concurrency();
        return processors > 1 ? int(processors - 1) : 1;
    }

private:
    int workers_ = 0;
};

} // namespace

AssetManager* GetAssetManager()
{
    static asset_manager manager;
    return &manager;
}
