#pragma once
// A fresh bitmap's pages cost the system a fault each on their first touch, a large part of
// drawing a big picture. While this lives, a thread of its own touches every page of a
// span (which is about to be written over whole), beside whatever this thread does.

#include <cstddef>
#include <cstdint>
#include <thread>

namespace velvane {

class PageToucher {
public:
    PageToucher(std::uint8_t* begin, std::size_t bytes);
    ~PageToucher();  // waits for the thread: the span is then all present
    PageToucher(const PageToucher&) = delete;
    PageToucher& operator=(const PageToucher&) = delete;

private:
    std::thread thread_;
};

}  // namespace velvane
