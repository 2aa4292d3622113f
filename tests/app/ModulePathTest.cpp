#include "app/ModulePath.h"

#include <gtest/gtest.h>

namespace {

TEST(ModulePath, PathsFromUnusualModulePaths) {
    EXPECT_EQ(ConfigProgramPath(u"C:\\Program Files\\Orvex\\K7_Setting.exe"),
              u"C:\\Program Files\\Orvex\\K7_Config.exe");
    EXPECT_EQ(ConfigProgramPath(u"D:\\a.b\\agent"), u"D:\\a.b\\K7_Config.exe");
    EXPECT_EQ(ModuleBaseName(u"D:\\a.b\\agent"), u"agent");
    EXPECT_EQ(ModuleBaseName(u"C:\\x\\K7.Setting.exe"), u"K7.Setting");
    EXPECT_EQ(ConfigProgramPath(u"C:/x/y.exe"), u"C:/x/K7_Config.exe");
    EXPECT_EQ(ConfigProgramPath(u"C:y.exe"), u"C:K7_Config.exe");
    EXPECT_EQ(ModuleBaseName(u"C:y.exe"), u"y");
    EXPECT_EQ(ConfigProgramPath(u""), u"K7_Config.exe");
    EXPECT_EQ(ModuleBaseName(u""), u"");
}

}  // namespace
