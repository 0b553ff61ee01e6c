#include <gtest/gtest.h>

#include "util/paths.h"

TEST(Paths, FileAndDirectoryParts) {
  std::string name = "unchanged", dir = "x";
  file_name_of("/a/b/c.rdd", name);
  dir_name_of("/a/b/c.rdd", dir);
  EXPECT_EQ(name, "c.rdd");
  EXPECT_EQ(dir, "/a/b");
  dir_name_of("c.rdd", dir);
  EXPECT_EQ(dir, ".");
  file_name_of("", name);
  EXPECT_EQ(name, "c.rdd");
  dir_name_of(nullptr, dir);
  EXPECT_EQ(dir, "");
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
