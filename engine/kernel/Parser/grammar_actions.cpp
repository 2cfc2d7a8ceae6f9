// The grammar's syntax error report.
#include "engine/kernel/Parser/grammar_actions.h"

#include "engine/kernel/Parser/scanner.h"
#include "engine/kernel/log_record.h"

namespace parser::grammar {

void report_syntax_error(void* scanner, const char* message)
{
    Log::Labelled(LogLabel('C', 'L', 'O', 'G'), {"engine/kernel/Parser/parser_y", 3990, "yyerror"},
                  "%s at %s(%i)\n", message, yyget_text(scanner), yyget_lineno(scanner));
}

} // namespace parser::grammar
