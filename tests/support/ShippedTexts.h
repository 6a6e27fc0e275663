// The shipped user-interface texts of one language for the life of the
// object, as a run in that language has them; closed again afterwards.
#pragma once

#include "common/KSlocal.h"

#include <string>

namespace ks::test {

class ShippedTexts {
public:
    explicit ShippedTexts(const std::string& language) {
        OpenUiTextFile(std::string(KS_TEST_DIST_DIR) + "KS-" + language + ".UI");
    }
    ~ShippedTexts() { CloseLanguageFiles(); }
    ShippedTexts(const ShippedTexts&) = delete;
    ShippedTexts& operator=(const ShippedTexts&) = delete;
};

} // namespace ks::test
