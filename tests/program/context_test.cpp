// The parse context driven as the grammar drives it: scopes and look-up across
// blocks and imports, the nesting limit, subtrees, conditionals, function
// statements, calls and extern declarations.
#include "tests/program/program_fixture.h"

namespace program_test {
namespace {

using Context = ProgramTest;

// A unit as its loader leaves it: the file's own block opened by the caller's
// code, then exports taken and the block closed by finish().
struct parse {
    explicit parse(const char* name, parser::extern_interface* externs = nullptr)
        : result(new parser::unit(name))
        , ctx(result, externs, nullptr)
    {
        ctx.start_block(nullptr);
    }
    ~parse() { result->release(); }
    void finish()
    {
        ctx.export_outer_scope();
        ctx.end_block();
    }
    // An empty subtree, as "sub name() { }" makes it.
    void subtree(const char* name)
    {
        ctx.begin_subtree(name);
        ctx.end_subtree(nullptr);
    }
    void import(parse& other)
    {
        other.result->add_ref();
        result->imports.push_back(other.result);
    }
    parser::unit* result;
    parser::context ctx;
};

template <typename T> parser::var<T>* exported(const char* name, const T& value)
{
    parser::var<T>* v = make_var<T>(name, constant<T>(value));
    v->set_class_flags(parser::var_plain, parser::modifier_export);
    return v;
}

// The type code of what the context finds for name, or -1; drops the reference.
int found_type(parser::context& ctx, const char* name)
{
    parser::variable* v = ctx.find_variable(name);
    if (!v)
        return -1;
    int type = v->type_code;
    v->release();
    return type;
}

parser::node_function* function_at(parser::statement_list& list, uint32_t i)
{
    parser::list_element* e = list.first();
    while (i--)
        e = e->next;
    return dynamic_cast<parser::node_function*>(parser::statement_list::payload(e));
}

TEST_F(Context, InnerBlocksShadowOuterOnesAndImports)
{
    parse lib("lib.ini");
    lib.ctx.declare(exported<float>("x", 1.5f));
    lib.ctx.declare(exported<vec3>("shared", { 0, 0, 0 }));
    lib.ctx.declare(int_var("hidden", 1));
    lib.finish();

    parse main("main.ini");
    main.result->exports.insert(exported<int32_t>("shared", 2)); // the file's own export
    main.import(lib);
    parser::context& ctx = main.ctx;

    EXPECT_EQ(found_type(ctx, "x"), 2) << "an imported export";
    EXPECT_EQ(found_type(ctx, "hidden"), -1) << "only exported variables cross files";
    EXPECT_EQ(found_type(ctx, "shared"), 1) << "the unit's own exports come before its imports'";

    ctx.declare(int_var("x", 7));
    EXPECT_EQ(found_type(ctx, "x"), 1) << "the file's block shadows imports";
    ctx.declare(float_var("x", 2.0f));
    EXPECT_EQ(found_type(ctx, "x"), 1) << "an untyped look-up prefers int to a later float";
    ctx.begin_subtree("s");
    ctx.declare(make_var<vec3>("x", constant<vec3>({ 1, 2, 3 }), parser::var_param));
    EXPECT_EQ(ctx.depth, 1);
    EXPECT_EQ(found_type(ctx, "x"), 3) << "the subtree's own block comes first";
    ctx.begin_if(make_var<bool>("b", constant(true)));
    ctx.declare(make_var<string_base>("x", constant<string_base>("s")));
    EXPECT_EQ(found_type(ctx, "x"), 6);
    ctx.end_block();
    EXPECT_EQ(found_type(ctx, "x"), 3) << "a block's names go with its end";
    ctx.end_subtree(nullptr);
    EXPECT_EQ(found_type(ctx, "x"), 1);

    parser::variable* found = ctx.find_variable("x");
    EXPECT_EQ(found->as_node()->refs, 2) << "the look-up adds the caller's reference";
    found->release();
    main.finish();
}

TEST_F(Context, BlocksNestTwentyFourDeepAndARefusedBlockClosesOnlyItsOwnScope)
{
    parse p("deep.ini");
    for (int depth = 1; depth <= 23; ++depth)
        ASSERT_TRUE(p.ctx.start_block(nullptr)) << depth;
    EXPECT_EQ(p.ctx.depth, 23);
    EXPECT_TRUE(records.empty());
    EXPECT_FALSE(p.ctx.has_error());
    p.ctx.declare(int_var("kept", 1));

    EXPECT_FALSE(p.ctx.start_block(nullptr));
    EXPECT_FALSE(p.ctx.start_block(nullptr));
    EXPECT_EQ(p.ctx.depth, 23);
    const captured_record refused { 2, "Parser", "parser::context::start_block",
        "[parser::context::start_block] too many nesting levels in 'deep.ini'!" };
    EXPECT_EQ(records, (captured_records { refused, refused }));
    EXPECT_TRUE(p.ctx.has_error()) << "the file fails";

    p.ctx.declare(int_var("inner", 1));
    EXPECT_EQ(found_type(p.ctx, "inner"), 1) << "seen inside the refused block";
    p.ctx.end_block();
    EXPECT_EQ(found_type(p.ctx, "inner"), -1) << "and gone with it";
    p.ctx.end_block();
    EXPECT_EQ(p.ctx.depth, 23) << "the two refused blocks close nothing else";
    EXPECT_EQ(found_type(p.ctx, "kept"), 1) << "so depth 23 keeps its names";
    p.ctx.end_block();
    EXPECT_EQ(p.ctx.depth, 22);
    EXPECT_EQ(found_type(p.ctx, "kept"), -1);
    while (p.ctx.depth > 0)
        p.ctx.end_block();
    p.finish();
}

TEST_F(Context, ARefusedConditionalKeepsItsBlocksPaired)
{
    parse p("deep_if.ini");
    p.ctx.begin_subtree("main");
    for (int i = 0; i < 22; ++i) {
        p.ctx.begin_if(make_var<bool>("b", constant(true)));
        ASSERT_TRUE(p.ctx.invariants()) << i;
    }
    EXPECT_EQ(p.ctx.depth, 23);
    p.ctx.begin_if(make_var<bool>("c", constant(false))); // its then-block is refused
    p.ctx.end_block();
    p.ctx.begin_else();
    p.ctx.end_block();
    EXPECT_EQ(p.ctx.depth, 23);
    EXPECT_TRUE(p.ctx.invariants());
    for (int i = 0; i < 22; ++i) {
        p.ctx.end_block();
        ASSERT_TRUE(p.ctx.invariants()) << "every block that ends leaves nothing behind it " << i;
    }
    EXPECT_EQ(p.ctx.depth, 1);
    p.ctx.end_subtree(nullptr);
    EXPECT_EQ(p.ctx.depth, 0);
    EXPECT_EQ(records.size(), 2u) << "the then-block and the else-block";
    p.finish();
}

TEST_F(Context, ACallFindsEarlierSubtreesOwnFirstThenImportsInOrder)
{
    parse first("first.ini");
    first.subtree("both");
    first.subtree("imported");
    first.finish();
    parse second("second.ini");
    second.subtree("both");
    second.subtree("own");
    second.finish();

    parse p("calls.ini");
    p.import(first);
    p.import(second);
    p.subtree("own");
    p.ctx.begin_subtree("main");
    parser::node_call* own = p.ctx.begin_call("own");
    parser::node_call* both = p.ctx.begin_call("both");
    parser::node_call* imported = p.ctx.begin_call("imported");
    p.ctx.end_subtree(nullptr);
    EXPECT_EQ(own->subtree, p.result->subtrees[0]) << "the file's own subtree wins";
    EXPECT_EQ(both->subtree, first.result->subtrees[0]) << "the first import wins";
    EXPECT_EQ(imported->subtree, first.result->subtrees[1]);
    EXPECT_EQ(p.result->subtrees[0]->refs, 2) << "the call holds a reference";
    EXPECT_TRUE(records.empty());
    EXPECT_FALSE(p.ctx.has_error());
    p.finish();
}

TEST_F(Context, AnUnknownSubtreeIsLoggedAndTheCallStaysEmpty)
{
    parse p("unknown.ini");
    p.ctx.begin_subtree("main");
    parser::node_call* wrong_case = p.ctx.begin_call("Main");
    parser::node_call* later = p.ctx.begin_call("later");
    p.ctx.end_subtree(nullptr);
    p.subtree("later");

    ASSERT_NE(wrong_case, nullptr);
    EXPECT_EQ(wrong_case->subtree, nullptr);
    EXPECT_EQ(later->subtree, nullptr) << "a subtree defined further down is not yet known";
    EXPECT_EQ(p.result->subtrees[0]->statements.size(), 2u) << "both calls are still made";
    EXPECT_EQ(records,
        (captured_records {
            { 2, "Parser", "parser::node_call::node_call",
                "[parser::node_call::node_call] unknown subtree 'Main' in 'unknown.ini'" },
            { 2, "Parser", "parser::node_call::node_call",
                "[parser::node_call::node_call] unknown subtree 'later' in 'unknown.ini'" },
        }));
    EXPECT_TRUE(p.ctx.has_error());
    p.finish();
}

TEST_F(Context, ErrorsSetTheFlagEvenWhenTheRecordIsFilteredOut)
{
    Log::Settings::Instance().SetCategoryLevel("Parser", Log::ELevel::Fatal);
    parse p("quiet.ini");
    p.ctx.begin_subtree("main");
    p.ctx.begin_call("nowhere");
    p.ctx.end_subtree(nullptr);
    EXPECT_TRUE(records.empty());
    EXPECT_TRUE(p.ctx.has_error());
    p.finish();
}

TEST_F(Context, ASubtreeCallingItselfIsFreedWithItsUnit)
{
    parse p("self.ini");
    p.ctx.begin_subtree("loop");
    parser::node_call* call = p.ctx.begin_call("loop");
    p.ctx.end_subtree(nullptr);
    EXPECT_EQ(call->subtree, p.result->subtrees[0]);
    EXPECT_TRUE(call->self_call);
    EXPECT_EQ(p.result->subtrees[0]->refs, 1) << "no reference cycle";
    p.finish();
} // the fixture checks that every node went back

TEST_F(Context, ConditionalsFunctionsAndBodiesLandInTheirLists)
{
    parse p("layout.ini");
    p.ctx.begin_subtree("main");
    parser::node_function* resolution = p.ctx.begin_function("Resolution");
    p.ctx.add_argument(constant<int32_t>(1920));
    p.ctx.add_argument(constant<int32_t>(1080));
    p.ctx.begin_if(make_var<bool>("fullscreen", constant(true)));
    p.ctx.begin_function("Mode");
    p.ctx.end_block();
    p.ctx.begin_else();
    p.ctx.begin_if(make_var<bool>("small", constant(false))); // else if
    p.ctx.end_block();
    p.ctx.end_block();
    parser::node_function* window = p.ctx.begin_function("Window");
    p.ctx.begin_function_body();
    p.ctx.begin_function("Title");
    p.ctx.set_function_text("game");
    p.ctx.end_block();
    p.ctx.end_subtree(nullptr);
    EXPECT_EQ(p.ctx.depth, 0);

    parser::statement_list& body = p.result->subtrees[0]->statements;
    ASSERT_EQ(body.size(), 3u);
    EXPECT_EQ(function_at(body, 0), resolution);
    EXPECT_EQ(resolution->arguments.size(), 2u);
    auto* branch = dynamic_cast<parser::node_if*>(parser::statement_list::payload(body.first()->next));
    ASSERT_NE(branch, nullptr);
    EXPECT_STREQ(function_at(branch->statements, 0)->name.c_str(), "Mode");
    ASSERT_EQ(branch->else_statements.size(), 1u);
    EXPECT_NE(
        dynamic_cast<parser::node_if*>(parser::statement_list::payload(branch->else_statements.first())), nullptr);
    EXPECT_EQ(function_at(body, 2), window);
    ASSERT_EQ(window->statements.size(), 1u);
    EXPECT_STREQ(function_at(window->statements, 0)->text.c_str(), "game");
    EXPECT_TRUE(window->text.empty());
    p.finish();
}

TEST_F(Context, EndSubtreeFoldsConstantsButLeavesParametersOpen)
{
    parse p("fold.ini");
    p.ctx.declare(make_var<bool>("on", constant(false)));
    p.ctx.declare(int_var("k", 4));
    p.ctx.begin_subtree("main");
    parser::subtree* main = p.ctx.current_subtree;
    parser::var<int32_t>* param = int_var("p", 1, parser::var_param);
    p.ctx.declare(param);
    auto typed = [&](const char* name) { return parser::var_cast<int32_t>(p.ctx.find_variable(name)); };
    parser::node_function* f = p.ctx.begin_function("F");
    p.ctx.add_argument(typed("k"));
    p.ctx.add_argument(typed("p"));
    parser::node_if* branch = nullptr;
    p.ctx.begin_if(parser::var_cast<bool>(p.ctx.find_variable("on")));
    branch = dynamic_cast<parser::node_if*>(parser::statement_list::payload(main->statements.last()));
    ASSERT_NE(branch, nullptr);
    p.ctx.begin_function("Then");
    p.ctx.end_block();
    p.ctx.begin_else();
    p.ctx.begin_function("Else");
    p.ctx.end_block();
    p.ctx.end_subtree(nullptr);

    auto* first = dynamic_cast<parser::node_val<int32_t>*>(parser::argument_list::payload(f->arguments.first()));
    ASSERT_NE(first, nullptr) << "a constant variable argument is folded";
    EXPECT_EQ(first->value, 4);
    EXPECT_EQ(parser::argument_list::payload(f->arguments.last()), static_cast<parser::node_exp*>(param))
        << "a parameter stays open";
    auto* condition = dynamic_cast<parser::node_val<bool>*>(branch->condition);
    ASSERT_NE(condition, nullptr) << "the constant condition is folded";
    EXPECT_FALSE(condition->value);
    EXPECT_EQ(branch->statements.size(), 1u) << "both lists are kept";
    EXPECT_EQ(branch->else_statements.size(), 1u);
    p.finish();
}

TEST_F(Context, NamedArgumentsReachParametersThroughTheCallFrame)
{
    parse p("frames.ini");
    p.ctx.begin_subtree("s");
    p.ctx.declare(int_var("a", 0, parser::var_param));
    p.ctx.declare(float_var("f", 0.25f, parser::var_param));
    parser::node_function* g = p.ctx.begin_function("g");
    p.ctx.add_argument(p.ctx.find_variable("a")->as_node());
    p.ctx.add_argument(p.ctx.find_variable("f")->as_node());
    p.ctx.end_subtree(nullptr);
    p.ctx.begin_subtree("main");
    parser::node_call* call = p.ctx.begin_call("s");
    p.ctx.add_named_argument(int_var("a", 2, parser::var_param));
    p.ctx.add_named_argument(int_var("f", 9, parser::var_param)); // an int f: no match for the float f
    p.ctx.end_subtree(nullptr);

    auto* a = dynamic_cast<parser::node_expr<int32_t>*>(parser::argument_list::payload(g->arguments.first()));
    auto* f = dynamic_cast<parser::node_expr<float>*>(parser::argument_list::payload(g->arguments.last()));
    ASSERT_TRUE(a && f);
    parser::call_frame frame { &call->arguments, nullptr };
    EXPECT_EQ(evaluate<int32_t>(a, &frame), 2);
    EXPECT_EQ(evaluate<float>(f, &frame), 0.25f);
    EXPECT_EQ(evaluate<int32_t>(a), 0) << "read outside the call: the default";
    p.finish();
}

TEST_F(Context, AnExternIsBoundDeclaredAndHandedToTheGrammar)
{
    fake_interface externs;
    parse p("extern.ini", &externs);
    parser::variable* v = p.ctx.add_extern_int_var("speed", "known", int_var("i", 5));
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->as_node()->refs, 2) << "the scope's and the grammar's";
    v->set_class_flags(parser::var_extern, parser::modifier_export);
    v->release();
    EXPECT_STREQ(v->extern_key, "known");
    parser::variable* found = p.ctx.find_variable("speed");
    EXPECT_EQ(found, v);
    EXPECT_EQ(evaluate<int32_t>(parser::var_cast<int32_t>(found)), 105);
    found->release();

    p.finish();
    EXPECT_EQ(p.result->exports.find("speed", 1), v) << "an exported extern reaches the unit's exports";
    EXPECT_TRUE(records.empty());
}

TEST_F(Context, EveryExternKindReportsAMissingBindingAndAMissingInterface)
{
    using adder = parser::variable* (parser::context::*)(const char*, const char*, parser::node_expr<int32_t>*);
    struct {
        adder add;
        const char* word;
    } kinds[] = {
        { &parser::context::add_extern_bool_var, "bool" },
        { &parser::context::add_extern_int_var, "int" },
        { &parser::context::add_extern_float_var, "float" },
        { &parser::context::add_extern_vec3_var, "vec3" },
        { &parser::context::add_extern_vec4_var, "vec4" },
        { &parser::context::add_extern_mtx44_var, "mtx44" },
        { &parser::context::add_extern_string_var, "string" },
    };
    fake_interface externs;
    for (auto& kind : kinds) {
        std::string function = std::string("parser::context::add_extern_") + kind.word + "_var";
        parse bound("ok.ini", &externs);
        parser::variable* v = (bound.ctx.*kind.add)("v", "known", nullptr);
        ASSERT_NE(v, nullptr) << kind.word;
        v->release();

        records.clear();
        parse missing("missing.ini", &externs);
        EXPECT_EQ((missing.ctx.*kind.add)("v", "other", int_var("i", 1)), nullptr);
        EXPECT_EQ(records,
            (captured_records { { 2, "Parser", function,
                std::string("[ERROR PARSER 'missing.ini'] extern ") + kind.word + " var 'v = other' not found!" } }));
        EXPECT_TRUE(missing.ctx.has_error());

        records.clear();
        parse alone("alone.ini");
        EXPECT_EQ((alone.ctx.*kind.add)("w", nullptr, nullptr), nullptr);
        EXPECT_EQ(records,
            (captured_records { { 2, "Parser", function,
                "[ERROR PARSER 'alone.ini'] var 'w = w' declared as extern and no extern interface linked!" } }));
        EXPECT_TRUE(alone.ctx.has_error());
        EXPECT_EQ(found_type(alone.ctx, "w"), -1) << "a failed extern declares nothing";
        for (parse* each : { &bound, &missing, &alone })
            each->finish();
    }
}

TEST_F(Context, StrayGrammarCallsLeakNothing)
{
    parse p("stray.ini");
    EXPECT_EQ(p.ctx.begin_function("outside"), nullptr) << "the file's block holds no statements";
    p.ctx.add_argument(constant<int32_t>(1));
    p.ctx.set_function_text("ignored");
    p.ctx.add_named_argument(int_var("a", 1, parser::var_param));
    p.ctx.begin_else(); // no open conditional: refused, paired with its end
    p.ctx.end_block();
    EXPECT_EQ(p.ctx.depth, 0);
    p.finish();
    p.ctx.declare(int_var("late", 1)); // no block open any more
    EXPECT_EQ(p.ctx.depth, -1);
}

} // namespace
} // namespace program_test
