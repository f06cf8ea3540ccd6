#include "plugins/kit/code_record.h"

#include <algorithm>

namespace zaprelay::dcd {

void FillCodeRecord(TCodeRecord& record, std::string_view text) {
    record.fill(0);
    std::size_t length = std::min(text.size(), kCodeTextSize);
    std::copy_n(text.begin(), length, record.begin() + kCodeTextOffset);
}

}  // namespace zaprelay::dcd
