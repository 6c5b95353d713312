// The INI store reads hand-edited files the way the Windows profile functions do.
#include "settings/IniProfile.h"
#include <gtest/gtest.h>

namespace {

const char Sample[] =
    "Stray=before any section\n"
    "[ Main ]\n"
    "  Name  =  Tavrel  \n"
    "Quoted=\"  padded  \"\n"
    "Half=\"open\n"
    "Empty=\n"
    "Name=second copy\n"
    "[Other]\n"
    "Name=other\n"
    "[MAIN]\n"
    "Late=in a repeated section\n";

struct LookupCase {
    const char *section;
    const char *key;
    const char *expected;   // nullptr: not found
};

class Lookups : public ::testing::TestWithParam<LookupCase> {};

TEST_P(Lookups, FindTheFirstKeyOfTheFirstSection)
{
    IniProfile ini;
    ini.setText(Sample);
    const LookupCase &c = GetParam();
    EXPECT_EQ(ini.contains(c.section, c.key), c.expected != nullptr);
    EXPECT_EQ(ini.value(c.section, c.key, "<none>"), c.expected ? QString(c.expected) : QString("<none>"));
}

INSTANTIATE_TEST_SUITE_P(Ini, Lookups,
                         ::testing::Values(LookupCase{"Main", "Name", "Tavrel"},
                                           LookupCase{"main", "NAME", "Tavrel"},
                                           LookupCase{"Main", "Quoted", "  padded  "},
                                           LookupCase{"Main", "Half", "\"open"},
                                           LookupCase{"Main", "Empty", ""},
                                           LookupCase{"Other", "Name", "other"},
                                           LookupCase{"Main", "Late", nullptr},
                                           LookupCase{"Main", "Stray", nullptr},
                                           LookupCase{"Missing", "Name", nullptr}));

TEST(Ini, NewKeysAndSectionsGoWhereTheyBelong)
{
    IniProfile ini;
    ini.setText("[A]\r\nx=1\r\n\r\n\r\n[B]\r\n");
    ini.setValue("a", "y", "2");
    ini.setValue("B", "z", "3");
    ini.setValue("C", "w", "4");
    ini.setValue("A", "X", "5");
    EXPECT_EQ(ini.text(), "[A]\r\nX=5\r\ny=2\r\n\r\n\r\n[B]\r\nz=3\r\n[C]\r\nw=4\r\n");
}

TEST(Ini, LineBreakInValueCannotSplitTheLine)
{
    IniProfile ini;
    ini.setValue("A", "x", "one\r\ntwo");
    EXPECT_EQ(ini.text(), "[A]\r\nx=one  two\r\n");
}

} // namespace
