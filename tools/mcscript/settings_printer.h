// "mcscript settings": the game.ini record as the host builds it, one line per
// setting that the file sets, in the record's field order.
#pragma once

#include <string>

class GameIniSettings;

namespace mcscript {

std::string settings_text(const GameIniSettings& settings);

} // namespace mcscript
