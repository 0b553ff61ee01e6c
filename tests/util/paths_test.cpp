#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <map>

#include "util/paths.h"

// The names are cut and cleaned as Qt does it, but as bytes, and the root's
// ".." is the root, as POSIX has it (Qt keeps it).
TEST(Paths, PartsAndCleanedPathsAsQtMakesThem) {
  const char* names[] = {"/a/b/c.rdd", "c.rdd", "a//b", "/x", "x/", "a/./b/", "//", "///x", "a///", "./x", ".",
                         "..", "/", "a/b//c", "/..", "/../x", "/a/../..", "x/../../y", "/a//b/./c/", "/a/...",
                         "été/ça.rio", "a/b/../../../c"};
  const std::map<std::string, std::string> above_the_root = {{"/..", "/"}, {"/../x", "/x"}, {"/a/../..", "/"}};
  for (const char* name : names) {
    const QString text = QString::fromUtf8(name);
    std::string file = "unchanged", directory = "unchanged";
    file_name_of(name, file);
    dir_name_of(name, directory);
    EXPECT_EQ(file, QFileInfo(text).fileName().toStdString()) << name;
    EXPECT_EQ(directory, QFileInfo(text).path().toStdString()) << name;
    const auto root = above_the_root.find(name);
    EXPECT_EQ(clean_absolute_path(name), root != above_the_root.end()
                                             ? root->second
                                             : QDir::cleanPath(QDir::current().absoluteFilePath(text)).toStdString())
        << name;
  }
  std::string unchanged = "c.rdd", emptied = "x";
  file_name_of("", unchanged);
  dir_name_of(nullptr, emptied);
  EXPECT_EQ(unchanged, "c.rdd");
  EXPECT_EQ(emptied, "");
  std::string file, directory;
  file_name_of("d\xfe/cab\xffin.rio", file);
  dir_name_of("d\xfe/cab\xffin.rio", directory);
  EXPECT_EQ(file, "cab\xffin.rio");
  EXPECT_EQ(directory, "d\xfe");
  EXPECT_NE(clean_absolute_path("a\xfe.rod"), clean_absolute_path("a\xff.rod"));
}

TEST(Paths, AbsolutePath) {
  const char* rows[][3] = {{"/home/u", "data/x", "/home/u/data/x"}, {"/home/u", "/tmp/x", "/tmp/x"},
                           {"/home/u", "", "/home/u"}, {nullptr, "x", "kept"}};
  for (const auto& row : rows) {
    std::string out = "kept";
    absolute_path(row[0], row[1], out);
    EXPECT_EQ(out, row[2]) << row[1];
  }
}

TEST(Paths, RelativePath) {
  EXPECT_EQ(relative_path("/x/y/", "/x/z/w/"), "../z/w/");
  EXPECT_EQ(relative_path("/x/", "/x/y/"), "y/");
  EXPECT_EQ(relative_path("/x/y/", "/x/"), "../");
  EXPECT_EQ(relative_path("/a/b/c", "/a/d"), "../../d/");
  EXPECT_EQ(relative_path("/ab/", "/a/"), "../a/");
  EXPECT_EQ(relative_path("/x/y", "/x/y/"), "");
  EXPECT_EQ(relative_path("/", "/q/"), "q/");
  EXPECT_FALSE(relative_path("x/y", "/x").has_value());
  EXPECT_FALSE(relative_path(nullptr, "/x").has_value());
}
