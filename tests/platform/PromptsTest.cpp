#include "platform/Prompts.h"

#include <gtest/gtest.h>

namespace {

struct AnswerCase
{
    const char* name;
    platform::Prompts::Buttons buttons;
    const char* answer;
    const char* expected;
};

class PromptsAnswer : public ::testing::TestWithParam<AnswerCase>
{
protected:
    void TearDown() override { platform::Prompts::setAnswerer({}); }
};

TEST_P(PromptsAnswer, AnswerClosesTheBoxWithThatButton)
{
    const AnswerCase& c = GetParam();
    platform::PromptInfo seen;
    platform::Prompts::setAnswerer([&](const platform::PromptInfo& info) {
        seen = info;
        return QString::fromUtf8(c.answer);
    });
    const QString result =
        platform::Prompts::messageBox(nullptr, QStringLiteral("提示"), QStringLiteral("工具箱已经运行"), c.buttons);
    EXPECT_EQ(result.toStdString(), c.expected);
    EXPECT_EQ(seen.kind, QStringLiteral("QMessageBox"));
    EXPECT_EQ(seen.caption, QStringLiteral("提示"));
    EXPECT_EQ(seen.lines, QStringList{QStringLiteral("工具箱已经运行")});
}

INSTANTIATE_TEST_SUITE_P(
    Table, PromptsAnswer,
    ::testing::Values(AnswerCase{"okBoxOk", platform::Prompts::Buttons::Ok, "ok", "ok"},
                      AnswerCase{"okCancelOk", platform::Prompts::Buttons::OkCancel, "ok", "ok"},
                      AnswerCase{"okCancelCancel", platform::Prompts::Buttons::OkCancel, "cancel", "cancel"},
                      AnswerCase{"unknownAnswerIsEscape", platform::Prompts::Buttons::OkCancel, "bogus", "cancel"}),
    [](const ::testing::TestParamInfo<AnswerCase>& row) { return std::string(row.param.name); });

} // namespace
