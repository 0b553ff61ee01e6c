#pragma once

#include <unistd.h>

#include <QTemporaryDir>
#include <fstream>
#include <string>

// A temporary directory that is also the working directory while it lives.
struct scratch_dir {
  QTemporaryDir dir;
  std::string previous;

  scratch_dir() {
    char here[4096];
    previous = getcwd(here, sizeof here) ? here : "/";
    if (chdir(path().c_str()) != 0) ADD_FAILURE() << "cannot enter " << path();
  }
  ~scratch_dir() {
    if (chdir(previous.c_str()) != 0) ADD_FAILURE() << "cannot go back to " << previous;
  }
  std::string path() const { return dir.path().toStdString(); }
};

inline void write_file(const std::string& name, const std::string& content) {
  std::ofstream(name, std::ios::binary) << content;
}

inline std::string read_file(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
