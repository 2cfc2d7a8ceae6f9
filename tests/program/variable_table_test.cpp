// The sorted variable table: order by unsigned name bytes then type code,
// newest first among equals, typed and untyped look-up, and growth.
#include "engine/kernel/Parser/variable_table.h"

#include "tests/program/program_fixture.h"

namespace program_test {
namespace {

using VariableTable = ProgramTest;

std::vector<std::string> order(const parser::variable_table& t)
{
    std::vector<std::string> names;
    for (uint32_t i = 0; i < t.size(); ++i)
        names.push_back(std::string(t.at(i)->name) + ":" + std::to_string(t.at(i)->type_code));
    return names;
}

TEST_F(VariableTable, NewestOfEqualNameAndTypeStandsFirst)
{
    parser::variable_table t;
    parser::var<int32_t>* older = int_var("x", 1);
    parser::var<float>* x_float = float_var("x", 2.0f);
    parser::var<int32_t>* newer = int_var("x", 3);
    t.insert(older);
    t.insert(x_float);
    t.insert(newer);

    EXPECT_EQ(order(t), (std::vector<std::string> { "x:1", "x:1", "x:2" }));
    EXPECT_EQ(t.at(0), static_cast<parser::variable*>(newer));
    EXPECT_EQ(t.find("x", 1), static_cast<parser::variable*>(newer));
    EXPECT_EQ(t.find("x", parser::any_type), static_cast<parser::variable*>(newer));
    EXPECT_EQ(t.find("x", 2), static_cast<parser::variable*>(x_float));
    EXPECT_EQ(t.find("x", 0), nullptr);
    EXPECT_EQ(t.find("y", parser::any_type), nullptr);
    EXPECT_EQ(newer->refs, 1) << "finding adds no reference";
}

TEST_F(VariableTable, UntypedLookUpTakesTheLowestTypeCodeWhateverTheOrder)
{
    for (bool float_first : { true, false }) {
        parser::variable_table t;
        parser::var<int32_t>* x_int = int_var("x", 1);
        parser::var<float>* x_float = float_var("x", 2.0f);
        t.insert(float_first ? static_cast<parser::variable*>(x_float) : x_int);
        t.insert(float_first ? static_cast<parser::variable*>(x_int) : x_float);
        EXPECT_EQ(t.find("x", parser::any_type), static_cast<parser::variable*>(x_int)) << float_first;
    }
}

TEST_F(VariableTable, NamesCompareAsUnsignedBytesAndCaseSensitively)
{
    parser::variable_table t;
    for (const char* name : { "x", "\xe9t\xe9", "X", "_", "xa", "Z" })
        t.insert(int_var(name, 0));
    EXPECT_EQ(order(t), (std::vector<std::string> { "X:1", "Z:1", "_:1", "x:1", "xa:1", "\xe9t\xe9:1" }));
    EXPECT_STREQ(t.find("X", 1)->name, "X");
    EXPECT_EQ(t.find("XA", parser::any_type), nullptr);
}

TEST_F(VariableTable, GrowsBySixteenThenByAQuarter)
{
    parser::variable_table t;
    std::vector<uint32_t> seen { t.capacity() };
    for (int i = 0; i < 128; ++i) {
        t.insert(int_var(("v" + std::to_string(i)).c_str(), i));
        if (t.capacity() != seen.back())
            seen.push_back(t.capacity());
    }
    EXPECT_EQ(seen, (std::vector<uint32_t> { 0, 16, 32, 48, 64, 96, 128 }));
    for (int i = 0; i < 128; ++i)
        EXPECT_NE(t.find(("v" + std::to_string(i)).c_str(), 1), nullptr) << i;

    parser::variable_table many;
    many.reserve(100);
    EXPECT_EQ(many.capacity(), 100u) << "a larger need is taken as it is";
}

TEST_F(VariableTable, GrowthStopsAtTheEntryLimit)
{
    using parser::variable_table;
    EXPECT_EQ(variable_table::grown_capacity(0, 1), 16u);
    EXPECT_EQ(variable_table::grown_capacity(96, 97), 128u);
    EXPECT_EQ(variable_table::grown_capacity(variable_table::max_entries - 16, variable_table::max_entries - 15),
        variable_table::max_entries);
    EXPECT_EQ(variable_table::grown_capacity(0xffffff00u, 0xffffff01u), variable_table::max_entries)
        << "no 32-bit wrap-around";
}

TEST_F(VariableTable, OwnsOneReferencePerEntry)
{
    parser::var<int32_t>* kept = int_var("kept", 7);
    {
        parser::variable_table t;
        kept->add_ref();
        t.insert(kept);
        t.insert(int_var("other", 1));
        EXPECT_EQ(kept->refs, 2);
        t.release_all();
        EXPECT_EQ(t.size(), 0u);
        EXPECT_EQ(kept->refs, 1);
        kept->add_ref();
        t.insert(kept);
    } // the destructor releases what is left
    EXPECT_EQ(kept->refs, 1);
    kept->release();
}

// Far more names than the 64-bit name summary has bits, so every bit is shared:
// a set bit must still lead to the search, and a release must clear the summary
// so that names seen before are not found again.
TEST_F(VariableTable, LookUpsStayExactAcrossReleaseAndReinsertion)
{
    auto name = [](const char* prefix, int i) { return std::string(prefix) + std::to_string(i); };
    parser::variable_table t;
    std::vector<parser::variable*> inserted;
    for (int i = 0; i < 300; ++i) {
        inserted.push_back(int_var(name("v", i).c_str(), i));
        t.insert(inserted.back());
    }
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(t.find(name("v", i).c_str(), parser::any_type), inserted[i]) << i;
        EXPECT_EQ(t.find(name("w", i).c_str(), parser::any_type), nullptr) << i;
    }

    t.release_all();
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(t.find(name("v", i).c_str(), parser::any_type), nullptr) << i;

    for (const char* again : { "v7", "v123", "", "\xff\xfe" }) {
        parser::variable* v = int_var(again, 0);
        t.insert(v);
        EXPECT_EQ(t.find(again, 1), v) << again;
    }
    EXPECT_EQ(t.size(), 4u);
    for (const char* gone : { "v8", "v122", "v0", "v299" })
        EXPECT_EQ(t.find(gone, parser::any_type), nullptr) << gone;
}

// Small tables are searched front to back, larger ones by binary search: at
// every size on both sides of the switch a look-up finds what the rules say,
// the newest entry of the name and type, or of the lowest type for any type.
TEST_F(VariableTable, EverySizeFindsTheNewestOfTheLowestType)
{
    const char* names[] = { "b", "a", "ab", "b", "a" };
    for (uint32_t size = 1; size <= 20; ++size) {
        parser::variable_table t;
        std::vector<parser::variable*> inserted;
        for (uint32_t i = 0; i < size; ++i) {
            const char* name = names[i % 5];
            inserted.push_back(i % 3 == 1 ? static_cast<parser::variable*>(float_var(name, 0.0f)) : int_var(name, 0));
            t.insert(inserted.back());
        }
        for (const char* name : { "a", "ab", "b", "c", "" }) {
            for (uint8_t type : { uint8_t(1), uint8_t(2), parser::any_type }) {
                parser::variable* expected = nullptr;
                for (parser::variable* v : inserted) { // later entries are newer
                    bool fits = type == parser::any_type ? !expected || v->type_code <= expected->type_code
                                                         : v->type_code == type;
                    if (std::string(v->name) == name && fits)
                        expected = v;
                }
                EXPECT_EQ(t.find(name, type), expected) << "size " << size << " name '" << name << "' type " << int(type);
            }
        }
    }
}

} // namespace
} // namespace program_test
