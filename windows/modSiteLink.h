// The product information, captured from the program's version information, and the one-shot
// link request that the website opener reads.
#pragma once

#include <string>

namespace quell {

struct ProductInfo {
    std::string productName;  // ProductName
    std::string companyName;  // CompanyName
    std::string comments;     // Comments: the publisher's website, a bare host
    int versionMajor = 0;
    int versionMinor = 0;
};

class VersionSource {
  public:
    virtual ~VersionSource() = default;
    virtual ProductInfo Read() = 0;
};

struct modSiteLink {
    std::string strProductName;
    std::string strCompanyName;
    std::string strWebsite;
    std::string strLinkMode;

    // Every call sets the same values again.
    void LoadSiteInfo(VersionSource& version);
};

}  // namespace quell
