#pragma once

#include <string>
#include <string_view>

namespace quell::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string File(std::string_view name) const;
    std::string Read(std::string_view name) const;  // raw bytes; empty when absent
    void Write(std::string_view name, std::string_view bytes) const;
    bool Has(std::string_view name) const;
    int EntryCount() const;  // files in the folder

  private:
    std::string path_;
};

}  // namespace quell::testing
