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
  std::string out = "kept";
  absolute_path("/home/u", "data/x", out);
  EXPECT_EQ(out, "/home/u/data/x");
  absolute_path("/home/u", "/tmp/x", out);
  EXPECT_EQ(out, "/tmp/x");
  absolute_path("/home/u", "", out);
  EXPECT_EQ(out, "/home/u");
  out = "kept";
  absolute_path(nullptr, "x", out);
  EXPECT_EQ(out, "kept");
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
