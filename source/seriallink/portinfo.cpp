#include "seriallink/portinfo.h"

std::string DescribePort(const CPortInfo& port) {
    std::string text = port.manufacturer;
    if (!port.product.empty()) {
        // Many adapters repeat the maker at the start of the product name.
        if (!text.empty() && port.product.rfind(text, 0) != 0) {
            text += " " + port.product;
        } else {
            text = port.product;
        }
    }
    if (text.empty() && !port.vendorId.empty()) {
        text = "USB " + port.vendorId + ":" + port.productId;
    }
    if (!port.serialNumber.empty()) {
        text += (text.empty() ? "serial " : ", serial ") + port.serialNumber;
    }
    return text;
}
