#include "core/PageToucher.h"

#include <system_error>

namespace velvane {

PageToucher::PageToucher(std::uint8_t* begin, std::size_t bytes) {
    // A page size no system goes below; a written byte per page makes it present for writing.
    constexpr std::size_t kPage = 4096;
    if (bytes == 0) return;
    try {
        thread_ = std::thread([this, begin, bytes] {
            volatile std::uint8_t* const span = begin;
            for (std::size_t at = 0; at < bytes && !stop_.load(std::memory_order_relaxed); at += kPage) span[at] = 0;
        });
    } catch (const std::system_error&) {
        // No thread to be had: the pages are touched by whoever writes them first.
    }
}

PageToucher::~PageToucher() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

}  // namespace velvane
