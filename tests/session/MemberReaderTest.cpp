#include "session/MemberReader.h"
#include "session/CompactJson.h"

#include <json/value.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using session::MemberReader;

enum class As { Text, Int, Bool };

// One row of the coercion table: the member's JSON text ("" for an absent member), the type it
// is read as, whether the read succeeds, and what it gives.
struct CoercionCase
{
    std::string name;
    std::string member;
    As as;
    bool ok;
    QString text;
    int integer = 0;
    bool boolean = false;
};

class Coercions : public ::testing::TestWithParam<CoercionCase>
{
};

TEST_P(Coercions, ReadAsAskedOrFail)
{
    const CoercionCase& row = GetParam();
    const QByteArray payload
        = row.member.empty() ? QByteArray("{\"Other\":1}") : QByteArray("{\"M\":") + row.member.c_str() + "}\n";
    Json::Value command;
    ASSERT_TRUE(MemberReader::parse(payload, &command)) << payload.constData();
    const MemberReader reader(command);
    switch (row.as) {
    case As::Text: {
        QString out = QStringLiteral("untouched");
        ASSERT_EQ(reader.readText("M", &out), row.ok);
        EXPECT_EQ(out, row.ok ? row.text : QStringLiteral("untouched"));
        break;
    }
    case As::Int: {
        int out = -12345;
        ASSERT_EQ(reader.readInt("M", &out), row.ok);
        EXPECT_EQ(out, row.ok ? row.integer : -12345);
        break;
    }
    case As::Bool: {
        bool out = !row.boolean;
        const bool before = out;
        ASSERT_EQ(reader.readBool("M", &out), row.ok);
        EXPECT_EQ(out, row.ok ? row.boolean : before);
        break;
    }
    }
}

std::vector<CoercionCase> coercionCases()
{
    return {
        { "TextAbsentIsEmpty", "", As::Text, true, QString() },
        { "TextNullIsEmpty", "null", As::Text, true, QString() },
        { "TextString", "\"abc\"", As::Text, true, QStringLiteral("abc") },
        { "TextUtf8String", "\"\xe4\xb8\xad\xe6\x96\x87\"", As::Text, true,
          QString::fromUtf8("\xe4\xb8\xad\xe6\x96\x87") },
        { "TextEscapes", "\"a\\\"b\\n\"", As::Text, true, QStringLiteral("a\"b\n") },
        { "TextFromInt", "3", As::Text, true, QStringLiteral("3") },
        { "TextFromNegativeInt", "-17", As::Text, true, QStringLiteral("-17") },
        { "TextFromTrue", "true", As::Text, true, QStringLiteral("true") },
        { "TextFromFalse", "false", As::Text, true, QStringLiteral("false") },
        { "TextFromArrayFails", "[1]", As::Text, false, {} },
        { "TextFromObjectFails", "{\"a\":1}", As::Text, false, {} },
        { "IntAbsentIsZero", "", As::Int, true, {}, 0 },
        { "IntNullIsZero", "null", As::Int, true, {}, 0 },
        { "IntValue", "42", As::Int, true, {}, 42 },
        { "IntNegative", "-3", As::Int, true, {}, -3 },
        { "IntFromTrueIsOne", "true", As::Int, true, {}, 1 },
        { "IntFromFalseIsZero", "false", As::Int, true, {}, 0 },
        { "IntFromFractionTruncates", "2.9", As::Int, true, {}, 2 },
        { "IntFromStringFails", "\"3\"", As::Int, false, {} },
        { "IntFromArrayFails", "[3]", As::Int, false, {} },
        { "IntFromObjectFails", "{}", As::Int, false, {} },
        { "IntOutOfRangeFails", "4294967296", As::Int, false, {} },
        { "BoolAbsentIsFalse", "", As::Bool, true, {}, 0, false },
        { "BoolTrue", "true", As::Bool, true, {}, 0, true },
        { "BoolFalse", "false", As::Bool, true, {}, 0, false },
        { "BoolFromZeroIsFalse", "0", As::Bool, true, {}, 0, false },
        { "BoolFromTwoIsTrue", "2", As::Bool, true, {}, 0, true },
        { "BoolFromNegativeIsTrue", "-1", As::Bool, true, {}, 0, true },
        { "BoolFromFractionIsTrue", "0.5", As::Bool, true, {}, 0, true },
        { "BoolFromStringFails", "\"true\"", As::Bool, false, {} },
        { "BoolFromArrayFails", "[]", As::Bool, false, {} },
        { "BoolFromObjectFails", "{}", As::Bool, false, {} },
    };
}

INSTANTIATE_TEST_SUITE_P(Table, Coercions, ::testing::ValuesIn(coercionCases()),
                         [](const ::testing::TestParamInfo<CoercionCase>& param) { return param.param.name; });

// Which payloads count as a command object.
struct ParseCase
{
    std::string name;
    QByteArray payload;
    bool ok;
    int value = 0; // member "A" when ok
};

class Parsing : public ::testing::TestWithParam<ParseCase>
{
};

TEST_P(Parsing, TakesTheFirstObjectUpToTheFirstZeroByte)
{
    const ParseCase& row = GetParam();
    Json::Value command;
    ASSERT_EQ(MemberReader::parse(row.payload, &command), row.ok);
    if (row.ok) {
        int value = 0;
        ASSERT_TRUE(MemberReader(command).readInt("A", &value));
        EXPECT_EQ(value, row.value);
    }
}

std::vector<ParseCase> parseCases()
{
    return {
        { "TrailingLineFeed", "{\"A\":1}\n", true, 1 },
        { "StrayBytesAfterTheValue", "{\"A\":2}\nxyz\x01\x02", true, 2 },
        { "SecondObjectIgnored", "{\"A\":3}{\"A\":4}", true, 3 },
        { "LeadingWhitespace", "  \n{\"A\":5}", true, 5 },
        { "EndsAtZeroByte", QByteArray("{\"A\":6}\0{\"A\":7}", 16), true, 6 },
        { "ZeroByteInsideTheValue", QByteArray("{\"A\":\0 8}", 9), false },
        { "NotJson", "hello", false },
        { "Empty", "", false },
        { "CutShort", "{\"A\":1", false },
        { "ArrayIsNoCommand", "[1,2]", false },
        { "NumberIsNoCommand", "3", false },
        { "StringIsNoCommand", "\"x\"", false },
    };
}

INSTANTIATE_TEST_SUITE_P(Table, Parsing, ::testing::ValuesIn(parseCases()),
                         [](const ::testing::TestParamInfo<ParseCase>& param) { return param.param.name; });

TEST(MemberReader, MembersOfANonObjectFailAndOfNullAreAbsent)
{
    const Json::Value number(3);
    QString text;
    EXPECT_FALSE(MemberReader(number).readText("Id", &text));
    const Json::Value array(Json::arrayValue);
    int integer = 0;
    EXPECT_FALSE(MemberReader(array).readInt("Id", &integer));

    const Json::Value null;
    integer = 9;
    EXPECT_TRUE(MemberReader(null).readInt("Id", &integer));
    EXPECT_EQ(integer, 0);
}

TEST(MemberReader, ArrayMemberAbsentIsEmptyOtherTypesFail)
{
    Json::Value command;
    ASSERT_TRUE(MemberReader::parse("{\"L\":[1,2],\"O\":{},\"S\":\"x\"}", &command));
    const MemberReader reader(command);
    Json::Value list;
    ASSERT_TRUE(reader.readArray("L", &list));
    EXPECT_EQ(list.size(), 2u);
    ASSERT_TRUE(reader.readArray("Missing", &list));
    EXPECT_TRUE(list.isArray());
    EXPECT_EQ(list.size(), 0u);
    EXPECT_FALSE(reader.readArray("O", &list));
    EXPECT_FALSE(reader.readArray("S", &list));
}

TEST(CompactJson, SortedMembersNoBlanksOneLineFeed)
{
    Json::Value value(Json::objectValue);
    value["b"] = 1;
    value["B"] = true;
    value["a"] = "x y";
    value["Ab"] = Json::Value(Json::arrayValue);
    value["Ab"].append(2);
    value["Ab"].append(1);
    value["nested"]["z"] = 0;
    value["nested"]["Z"] = "q\"\\\n";
    EXPECT_EQ(
        session::CompactJson::write(value),
        QByteArray("{\"Ab\":[2,1],\"B\":true,\"a\":\"x y\",\"b\":1,\"nested\":{\"Z\":\"q\\\"\\\\\\n\",\"z\":0}}\n"));
}

} // namespace
