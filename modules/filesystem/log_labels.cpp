// The label side of logging: which four-character labels are written, and the
// level and category that a label-driven record ('CLOG') stands for.
#include "engine/kernel/log_record.h"
#include "host/modules/filesystem_module.h"

namespace {

// Labels that are not levels, with the level and category their records get.
struct label_entry {
    uint32_t label;
    Log::ELevel::TYPE level;
    const char* category;
};

constexpr label_entry extra_labels[] = {
    { LogLabel('C', 'L', 'O', 'G'), Log::ELevel::Error, "Parser" }, // script syntax errors
};

const label_entry* find_extra(uint32_t label)
{
    for (const label_entry& entry : extra_labels)
        if (entry.label == label)
            return &entry;
    return nullptr;
}

// The level a level label stands for, or -1 for any other label.
int level_of(uint32_t label)
{
    for (int level = Log::ELevel::None; level <= Log::ELevel::Extreme; ++level)
        if (Log::LevelLabel(level) == label)
            return level;
    return -1;
}

} // namespace

CLFilterAction::ENUM _CLFilter(uint32_t label)
{
    if (label == LogLabel('F', 'A', 'T', 'L'))
        return CLFilterAction::Fatal;
    if (find_extra(label))
        return CLFilterAction::Write;
    int level = level_of(label);
    return level > Log::ELevel::None ? CLFilterAction::Write : CLFilterAction::Drop;
}

string_base _CLogCategoryFromLabel(uint32_t label)
{
    const label_entry* entry = find_extra(label);
    return entry ? string_base(entry->category) : string_base();
}

Log::ELevel::TYPE _CLogLevelFromId(uint32_t label)
{
    if (const label_entry* entry = find_extra(label))
        return entry->level;
    int level = level_of(label);
    return level > 0 ? Log::ELevel::TYPE(level) : Log::ELevel::None;
}
