#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/FileSearch.h"

namespace quell::testing {

// Answers each path from a table (empty when not listed) and records the paths asked.
class FakeFileSearch : public platform::FileSearch {
  public:
    std::string FirstFile(const std::string& path) override {
        queries.push_back(path);
        auto found = answers.find(path);
        return found == answers.end() ? std::string() : found->second;
    }
    std::map<std::string, std::string> answers;
    std::vector<std::string> queries;
};

}  // namespace quell::testing
