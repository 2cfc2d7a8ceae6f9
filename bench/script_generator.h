// Generates a large script and an equivalent Lua 5.4 program holding the same
// statements: parameterised subtrees with if/else, arithmetic, vectors and
// text concatenation, all called from main. Used by the parse benchmarks and
// by the comparison with Lua.
#pragma once

#include <string>

namespace bench {

struct generated_script {
    std::string script; // the game script
    std::string lua; // the same statements as a Lua program
    int statements = 0; // function statements written
};

// subtrees subtrees of groups if/else groups each, four statements a group.
inline generated_script generate_script(int subtrees, int groups)
{
    generated_script g;
    std::string& s = g.script;
    std::string& l = g.lua;
    l += "local fmt, write = string.format, io.write\n"
         "local function n(x) return fmt('%.9g', x) end\n"
         "local function vs(v) return '[' .. n(v[1]) .. ', ' .. n(v[2]) .. ', ' .. n(v[3]) .. ']' end\n"
         "local function vadd(a, b) return {a[1] + b[1], a[2] + b[2], a[3] + b[3]} end\n"
         "local function vmul(a, f) return {a[1] * f, a[2] * f, a[3] * f} end\n"
         "local function dot(a, b) return a[1] * b[1] + a[2] * b[2] + a[3] * b[3] end\n"
         "local function len(a) return math.sqrt(dot(a, a)) end\n";
    for (int k = 0; k < subtrees; ++k) {
        std::string K = std::to_string(k);
        s += "sub S" + K + "(int a = 1, float f = 0.5, vec3 v = [1.0, 2.0, 3.0], string s = 'n') {\n";
        l += "function S" + K + "(a, f, v, s)\n";
        for (int j = 0; j < groups; ++j) {
            std::string J = std::to_string(j), id = K + "_" + J;
            s += "  if (a > " + J
                + ") {\n"
                  "    Pos"
                + id + "(a * 3 + " + J
                + ", f * 2.5 - 1.0, v + [1.0, 0.5, 0.25] * f);\n"
                  "    Name"
                + id
                + "(s + '_' + a, f / 3.0);\n"
                  "  } else {\n"
                  "    Dot"
                + id
                + "(dot(v, [0.0, 1.0, 0.0]), length(v));\n"
                  "    Mix"
                + id
                + "(a % 7, min(a, 100), f * f + 0.5);\n"
                  "  }\n";
            l += "  if a > " + J
                + " then\n"
                  "    write('Pos"
                + id + "(', a * 3 + " + J
                + ", ', ', n(f * 2.5 - 1.0), ', ', "
                  "vs(vadd(v, vmul({1.0, 0.5, 0.25}, f))), ')\\n')\n"
                  "    write('Name"
                + id
                + "(\"', s .. '_' .. a, '\", ', n(f / 3.0), ')\\n')\n"
                  "  else\n"
                  "    write('Dot"
                + id
                + "(', n(dot(v, {0.0, 1.0, 0.0})), ', ', n(len(v)), ')\\n')\n"
                  "    write('Mix"
                + id
                + "(', a % 7, ', ', math.min(a, 100), ', ', n(f * f + 0.5), ')\\n')\n"
                  "  end\n";
            g.statements += 4;
        }
        s += "}\n";
        l += "end\n";
    }
    s += "sub main() {\n";
    for (int k = 0; k < subtrees; ++k) {
        std::string K = std::to_string(k), A = std::to_string(k % (2 * groups));
        s += "  call S" + K + "(a = " + A + ", f = 0.75, v = [1.0, 2.0, 3.0], s = 'n" + K + "');\n";
        l += "S" + K + "(" + A + ", 0.75, {1.0, 2.0, 3.0}, 'n" + K + "')\n";
    }
    s += "}\n";
    return g;
}

} // namespace bench
