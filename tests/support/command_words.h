#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Runs an analysis entry point on words (the program name is added first) and
// yields what it wrote on standard error.
template <typename Analysis>
int analyse_words(Analysis analysis, std::vector<std::string> words, std::string* error_output = nullptr) {
  words.insert(words.begin(), "program");
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  testing::internal::CaptureStderr();
  const int result = analysis(static_cast<int>(words.size()), argv.data());
  const std::string written = testing::internal::GetCapturedStderr();
  if (error_output) *error_output = written;
  return result;
}
