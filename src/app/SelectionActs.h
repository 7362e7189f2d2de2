#pragma once
// What the copy does for pins selected across copies: closes its part of a selection as one
// (kept for Ctrl+Z by the copy that closed it), and gathers every selected picture for Ctrl+C.

#include "common/Scoped.h"

#include <cstddef>
#include <cstdint>

namespace velvane::mMain {

void CloseSelection(int batch, DWORD initiator);
void CopySelection(HWND pin);
bool TakeSelectionData(ULONG_PTR kind, const std::uint8_t* data, std::size_t size);

}  // namespace velvane::mMain
