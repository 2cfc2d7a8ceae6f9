// Token actions of the lexer.
#include "engine/kernel/Parser/lexer_actions.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/kernel/Parser/context.h"
#include "engine/kernel/Parser/grammar_actions.h"
#include "engine/kernel/Parser/parser_y.hpp"
#include "engine/kernel/Parser/var.h"

namespace parser::lex {

namespace {

// The variable tokens follow the type numbers, from TOK_BOOL_VAR to TOK_STRING_VAR.
static_assert(TOK_STRING_VAR - TOK_BOOL_VAR == type_number_v<string_base>);

// The typed variable token of a found variable (of a value type): its node in
// the value record, with the depth of what it stands for.
int variable_token(variable* v, token_value* value)
{
    node_exp* n = v->as_node();
    int32_t depth = grammar::variable_depth(v);
    grammar::track_depth(depth);
    visit_type(v->type_code, [&](auto tag) {
        using T = typename decltype(tag)::type;
        typed_expr_of<T>(*value) = { static_cast<node_expr<T>*>(n), depth };
    });
    return TOK_BOOL_VAR + v->type_code;
}

int digit_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    return (c | 0x20) - 'a' + 10;
}

} // namespace

int32_t decimal(const char* text)
{
    bool negative = *text == '-';
    int64_t magnitude = 0;
    for (const char* p = text + negative; *p; ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > int64_t(INT32_MAX) + 1)
            magnitude = int64_t(INT32_MAX) + 1; // saturate; stays bounded however long
    }
    int64_t v = negative ? -magnitude : magnitude;
    return int32_t(v > INT32_MAX ? INT32_MAX : v);
}

int32_t hexadecimal(const char* text)
{
    bool negative = *text == '-';
    uint32_t accumulator = 0;
    for (const char* p = text + negative + 2; *p; ++p)
        accumulator = (accumulator << 4) + uint32_t(digit_value(*p));
    return int32_t(negative ? 0u - accumulator : accumulator);
}

// Digits and a point, as the float rule matches them. With at most 15
// significant digits and 22 decimals the text is an exact integer over an
// exact power of ten, whose quotient is the correctly rounded double atof
// gives; longer texts go to atof itself.
float decimal_float(const char* text)
{
    static const double powers_of_ten[] = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13,
        1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };
    const char* p = text + (*text == '-');
    uint64_t mantissa = 0;
    int digits = 0, decimals = 0;
    bool after_point = false;
    for (; *p; ++p) {
        if (*p == '.') {
            after_point = true;
            continue;
        }
        if (mantissa == 0 && *p == '0' && !after_point)
            continue; // leading zeros carry no digit
        mantissa = mantissa * 10 + uint64_t(*p - '0');
        digits += mantissa != 0;
        decimals += after_point;
        if (digits > 15 || decimals > 22)
            return float(std::atof(text));
    }
    double value = double(mantissa) / powers_of_ten[decimals];
    return float(*text == '-' ? -value : value);
}

int name(context* ctx, const char* text, int length, token_value* value)
{
    if (length >= token_text_size) {
        return refused_token;
    }
    if (variable* v = ctx ? ctx->find_variable(text) : nullptr) {
        if (v->type_code < any_type)
            return variable_token(v, value);
        v->release();
    }
    std::memcpy(value->text, text, size_t(length) + 1);
    return TOK_IDENTIFIER;
}

int line_feeds(const char* text, int length)
{
    int count = 0;
    for (int i = 0; i < length; ++i)
        count += text[i] == '\n';
    return count;
}

int string_literal(const char* text, int length, token_value* value)
{
    // A literal of at most 64 characters, quotes included, fits the record.
    if (length <= token_text_size) {
        std::memcpy(value->text, text + 1, size_t(length) - 2);
        value->text[length - 2] = 0;
        return TOK_STRING_CONST;
    }
    value->long_string = new (std::nothrow) string_base(text + 1, uint32_t(length - 2));
    return TOK_LONG_STRING_CONST;
}

} // namespace parser::lex
