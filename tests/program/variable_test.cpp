// Variables: plain, parameter and extern evaluation, bind under call frames,
// constant folding, the text form and the exported-parameter warning.
#include "tests/program/program_fixture.h"

namespace program_test {
namespace {

using Variable = ProgramTest;

// A call argument table holding the given variables.
struct arguments {
    explicit arguments(std::initializer_list<parser::variable*> vs)
    {
        for (parser::variable* v : vs)
            table.insert(v);
    }
    parser::variable_table table;
};

TEST_F(Variable, ParameterTakesTheNewestArgumentOfItsNameAndTypeElseItsDefault)
{
    parser::var<int32_t>* a = int_var("a", 0, parser::var_param);
    parser::var<float>* fa = float_var("a", 0.5f, parser::var_param);
    parser::var<int32_t>* b = int_var("b", -1, parser::var_param);
    arguments call { int_var("a", 1, parser::var_param), int_var("a", 2, parser::var_param),
        int_var("c", 9, parser::var_param) };
    parser::call_frame frame { &call.table, nullptr };
    parser::call_frame no_arguments { nullptr, nullptr };

    EXPECT_EQ(evaluate<int32_t>(a, &frame), 2) << "the newer of two equal arguments";
    EXPECT_EQ(evaluate<float>(fa, &frame), 0.5f) << "an int argument does not match a float parameter";
    EXPECT_EQ(evaluate<int32_t>(b, &frame), -1) << "no argument of that name";
    EXPECT_EQ(evaluate<int32_t>(a), 0) << "outside any call";
    EXPECT_EQ(evaluate<int32_t>(a, &no_arguments), 0);

    parser::var<int32_t>* plain = int_var("a", 5);
    EXPECT_EQ(evaluate<int32_t>(plain, &frame), 5) << "only parameters look into the frame";
    release_all(a, fa, b, plain);
}

TEST_F(Variable, ArgumentsAreEvaluatedInTheCallersFrame)
{
    // outer call: n = 7; inner call (made inside the outer subtree): m = n,
    // where n is the outer subtree's parameter.
    parser::var<int32_t>* n = int_var("n", 0, parser::var_param);
    parser::var<int32_t>* m = int_var("m", 0, parser::var_param);
    arguments outer { int_var("n", 7, parser::var_param) };
    n->add_ref();
    arguments inner { make_var<int32_t>("m", n, parser::var_param) };
    parser::call_frame outer_frame { &outer.table, nullptr };
    parser::call_frame inner_frame { &inner.table, &outer_frame };

    EXPECT_EQ(evaluate<int32_t>(m, &inner_frame), 7);
    EXPECT_EQ(evaluate<int32_t>(n, &inner_frame), 0) << "the inner call passes no n";
    parser::call_frame orphan { &inner.table, nullptr };
    EXPECT_EQ(evaluate<int32_t>(m, &orphan), 0) << "n falls back to its default without the outer frame";
    release_all(n, m);
}

TEST_F(Variable, ExternReadsItsBindingWithTheIndexEvaluatedOnEveryRead)
{
    fake_binding<int32_t> binding;
    parser::var<int32_t>* i = int_var("i", 0, parser::var_param);
    auto* plain = new parser::var<int32_t>("e", &binding, nullptr, nullptr);
    auto* indexed = new parser::var<int32_t>("f", &binding, i, "key");
    EXPECT_STREQ(plain->extern_key, "e") << "a declaration without key uses its name";
    EXPECT_EQ(plain->flags, 0x40u) << "flags come from the binding's attributes";

    EXPECT_EQ(evaluate<int32_t>(plain), 100);
    EXPECT_EQ(binding.last_index, 0u);
    arguments call { int_var("i", 3, parser::var_param) };
    parser::call_frame frame { &call.table, nullptr };
    EXPECT_EQ(evaluate<int32_t>(indexed, &frame), 103);
    EXPECT_EQ(evaluate<int32_t>(indexed), 100) << "the index is evaluated again, here to its default";
    EXPECT_EQ(binding.reads, 3);
    release_all(plain, indexed);
}

TEST_F(Variable, BindOfAnIndexedExternUnderAFrameFixesTheIndex)
{
    fake_binding<int32_t> binding;
    auto* x = new parser::var<int32_t>("x", &binding, int_var("i", 0, parser::var_param), "key");
    x->set_class_flags(parser::var_extern, parser::modifier_export);
    arguments call { int_var("i", 4, parser::var_param) };
    parser::call_frame frame { &call.table, nullptr };

    parser::node_expr<int32_t>* bound = x->bind(&frame, nullptr);
    auto* copy = parser::var_cast<int32_t>(dynamic_cast<parser::variable*>(bound));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, x);
    EXPECT_EQ(copy->index, 4u);
    EXPECT_EQ(copy->index_expr, nullptr);
    EXPECT_STREQ(copy->extern_key, "key");
    EXPECT_EQ(copy->var_class, parser::var_extern);
    EXPECT_EQ(copy->modifiers, parser::modifier_export);
    EXPECT_EQ(evaluate<int32_t>(bound), 104) << "the copy keeps its index outside the frame";

    parser::node_expr<int32_t>* unbound = x->bind(nullptr, nullptr);
    EXPECT_EQ(unbound, x) << "without a frame the extern stays itself";
    EXPECT_EQ(x->refs, 2);
    release_all(unbound, bound, x);
}

TEST_F(Variable, BindReplacesParametersByTheirArgumentsAndConstantsByNull)
{
    fake_binding<int32_t> binding;
    parser::var<int32_t>* live = new parser::var<int32_t>("live", &binding, nullptr, nullptr);
    parser::var<int32_t>* a = int_var("a", 0, parser::var_param);
    parser::var<int32_t>* plain = int_var("k", 1);
    live->add_ref();
    parser::var<int32_t>* follows = make_var<int32_t>("follows", live);
    live->add_ref();
    arguments call { int_var("a", 5, parser::var_param), make_var<int32_t>("b", live, parser::var_param) };
    parser::call_frame frame { &call.table, nullptr };

    EXPECT_EQ(a->bind(&frame, nullptr), nullptr) << "a constant argument";
    EXPECT_EQ(a->bind(nullptr, nullptr), nullptr) << "a constant default";
    EXPECT_EQ(plain->bind(&frame, nullptr), nullptr);

    parser::node_expr<int32_t>* same = follows->bind(&frame, nullptr);
    EXPECT_EQ(same, follows) << "a variable whose value stays unchanged is kept";
    EXPECT_EQ(follows->refs, 2);
    EXPECT_EQ(live->refs, 3) << "no reference of the value is left behind";
    same->release();

    parser::var<int32_t>* b = make_var<int32_t>("b", constant<int32_t>(0), parser::var_param);
    parser::node_expr<int32_t>* argument = b->bind(&frame, nullptr);
    EXPECT_EQ(argument, live) << "a parameter becomes its argument's bound value";
    argument->release();

    release_all(a, plain, follows, b, live);
}

TEST_F(Variable, FoldConstantsKeepsParametersOpenAndExternsLive)
{
    fake_binding<int32_t> binding;
    parser::var<int32_t>* k = int_var("k", 3);
    k->add_ref();
    parser::var<int32_t>* p = make_var<int32_t>("p", k, parser::var_param);
    parser::var<int32_t>* plain = int_var("q", 1);
    k->add_ref();
    auto* x = new parser::var<int32_t>("x", &binding, k, "x");

    EXPECT_TRUE(plain->fold_constants(false, nullptr));
    EXPECT_TRUE(p->fold_constants(true, nullptr)) << "parameters fixed: constant when the default is";
    EXPECT_EQ(p->value, k) << "nothing folded while answering true";

    EXPECT_FALSE(p->fold_constants(false, nullptr)) << "open parameters are never constant";
    auto* folded = dynamic_cast<parser::node_val<int32_t>*>(p->value);
    ASSERT_NE(folded, nullptr) << "the constant default is folded to a value";
    EXPECT_EQ(folded->value, 3);

    EXPECT_FALSE(x->fold_constants(false, nullptr)) << "an extern is never constant";
    auto* index = dynamic_cast<parser::node_val<int32_t>*>(x->index_expr);
    ASSERT_NE(index, nullptr) << "its constant index is folded";
    EXPECT_EQ(evaluate<int32_t>(x), 103);
    EXPECT_EQ(k->refs, 1) << "folding dropped the replaced references";

    release_all(k, p, plain, x);
}

TEST_F(Variable, DescribeGivesClassWordAndName)
{
    fake_binding<float> binding;
    struct {
        parser::variable* v;
        uint8_t var_class;
        const char* text;
    } cases[] = {
        { float_var("x", 1.0f), parser::var_plain, "(var x = )" },
        { float_var("a", 1.0f), parser::var_param, "(var param a = )" },
        { new parser::var<float>("b", &binding, nullptr, nullptr), parser::var_extern, "(var extern b)" },
    };
    for (auto& c : cases) {
        c.v->set_class_flags(c.var_class, 0);
        string_base out("> ");
        EXPECT_EQ(&c.v->describe(out), &out);
        EXPECT_STREQ(out.c_str(), (std::string("> ") + c.text).c_str());
        c.v->release();
    }
}

TEST_F(Variable, NamesOfEveryLengthAreCopiesThatLiveAsLongAsTheVariable)
{
    // Short names are kept inside the variable, long ones on the heap; the
    // lengths around the boundary and the longest legal name.
    for (size_t length : { size_t(0), size_t(1), parser::variable::inline_name_size - 1,
             parser::variable::inline_name_size, size_t(63) }) {
        std::string text(length, 'n');
        std::string source = text;
        parser::var<int32_t>* v = int_var(source.c_str(), 1);
        source.assign(length, 'x'); // the variable must not point into the caller's text
        EXPECT_EQ(std::string(v->name), text) << "length " << length;
        v->release(); // a heap name freed, an inline one not: the sanitizers check both
    }
}

TEST_F(Variable, AnExportedParameterIsWarnedAboutAndKept)
{
    parser::var<int32_t>* p = int_var("p", 0);
    p->set_class_flags(parser::var_plain, parser::modifier_export);
    EXPECT_TRUE(records.empty()) << "export of a plain variable is fine";
    p->set_class_flags(parser::var_param, parser::modifier_export);
    EXPECT_EQ(records,
        (captured_records { { 2, "Parser", "parser::variable::set_class_flags",
            "[parser::variable::set_class_flags] var 'p' declared export and param!" } }));
    EXPECT_EQ(p->var_class, parser::var_param);
    EXPECT_EQ(p->modifiers, parser::modifier_export);
    p->release();
}

TEST_F(Variable, BothPartsShareOneReferenceCount)
{
    parser::var<vec3>* v = make_var<vec3>("v", constant<vec3>({ 1, 2, 3 }));
    parser::variable* part = v;
    part->add_ref();
    EXPECT_EQ(v->refs, 2);
    EXPECT_EQ(part->as_node(), static_cast<parser::node_exp*>(v));
    EXPECT_EQ(parser::var_cast<vec3>(part), v);
    EXPECT_EQ(parser::var_cast<vec4>(part), nullptr) << "the type code must match";
    v->release();
    part->release(); // the last reference, through the variable part
}

} // namespace
} // namespace program_test
