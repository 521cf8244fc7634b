#include "mainwindow/Module2.h"

namespace quell {

std::string TrayTip(const std::string& productName, std::int32_t blocked) {
    return productName + " - " + std::to_string(blocked) +
           (blocked == 1 ? " popup blocked" : " popups blocked");
}

}  // namespace quell
