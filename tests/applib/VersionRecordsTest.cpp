#include "applib/VersionRecords.h"

#include <gtest/gtest.h>

namespace {

using applib::VersionRecords;

TEST(VersionRecords, InstalledVersionsTextIsTheStyledListOrNull)
{
    EXPECT_EQ(VersionRecords::installedVersionsTextOf(
                  "{\"SoftVersionList\":[{\"Id\":\"3\",\"Version\":\"1.0\"},{\"Id\":\"7\",\"Version\":\"2.0\",\"x\":1}]}\n")
                  .toStdString(),
              "[\n   {\n      \"Id\" : \"3\",\n      \"Version\" : \"1.0\"\n   },\n   {\n      \"Id\" : \"7\",\n"
              "      \"Version\" : \"2.0\",\n      \"x\" : 1\n   }\n]\n");
    for (const char* text : {"", "not json", "{\"SoftVersionList\":[]}", "{\"SoftVersionList\":{}}", "[]", "{}"})
        EXPECT_EQ(VersionRecords::installedVersionsTextOf(text).toStdString(), "null\n") << text;
    EXPECT_EQ(VersionRecords::installedVersionsText(QStringLiteral("/no/such/folder")).toStdString(), "null\n");
}

} // namespace
