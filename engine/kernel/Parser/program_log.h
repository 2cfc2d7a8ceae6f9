// Where the records of the program-structure layer come from: every variable,
// statement and context message names the ParserNodes module.
#pragma once

#include "engine/kernel/log_record.h"

namespace parser {

inline Log::Where nodes_where(int line, const char* function)
{
    return Log::Where { "engine/kernel/Parser/ParserNodes", line, function };
}

} // namespace parser
