#include "windows/modSiteLink.h"

namespace quell {

void modSiteLink::LoadSiteInfo(VersionSource& version) {
    const ProductInfo info = version.Read();
    strProductName = info.productName;
    strCompanyName = info.companyName;
    strWebsite = info.comments;
}

}  // namespace quell
