#pragma once
// A fresh bitmap's pages cost the system a fault each on their first touch, a large part of
// drawing a big picture. While this lives, a thread of its own touches the pages of a span
// (which is about to be written over whole) beside whatever this thread does; the pages it
// has not reached when this goes are left to whoever writes them first.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>

namespace velvane {

class PageToucher {
public:
    PageToucher(std::uint8_t* begin, std::size_t bytes);
    ~PageToucher();  // stops the thread and waits for it
    PageToucher(const PageToucher&) = delete;
    PageToucher& operator=(const PageToucher&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace velvane
