#pragma once
// What the copy does for pins selected across copies: closes its part of a selection as one
// (kept for Ctrl+Z by the copy that closed it), and gathers every selected picture for Ctrl+C.

#include "common/Scoped.h"

#include <cstddef>
#include <cstdint>

namespace velvane::mMain {

void CloseSelection(int batch, DWORD initiator);
// Another copy's Ctrl+Z brought back its part of a selection: this copy's part comes back too.
void ReopenSelection(int batch);
void CopySelection(HWND pin);
bool TakeSelectionData(ULONG_PTR kind, const std::uint8_t* data, std::size_t size);

}  // namespace velvane::mMain
