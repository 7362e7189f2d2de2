#pragma once
// What a data object (a drop, the clipboard) gives for one format, owned: given back with
// ReleaseStgMedium; and a global memory block's bytes, locked while they are read.

#include "common/Scoped.h"

#include <ole2.h>

namespace velvane {

class DataMedium {
public:
    DataMedium(IDataObject* data, FORMATETC format) : got_(data && SUCCEEDED(data->GetData(&format, &medium_))) {}
    ~DataMedium() {
        if (got_) ReleaseStgMedium(&medium_);
    }
    DataMedium(const DataMedium&) = delete;
    DataMedium& operator=(const DataMedium&) = delete;

    // Null unless the data came in that kind of medium.
    HGLOBAL Global() const { return got_ && medium_.tymed == TYMED_HGLOBAL ? medium_.hGlobal : nullptr; }
    IStream* Stream() const { return got_ && medium_.tymed == TYMED_ISTREAM ? medium_.pstm : nullptr; }

private:
    STGMEDIUM medium_{};
    bool got_;
};

class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL global)
        : global_(global), bytes_(global ? static_cast<const BYTE*>(GlobalLock(global)) : nullptr), size_(bytes_ ? GlobalSize(global) : 0) {}
    ~LockedGlobal() {
        if (bytes_) GlobalUnlock(global_);
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;

    // Null when the block cannot be locked.
    const BYTE* Bytes() const { return bytes_; }
    SIZE_T Size() const { return size_; }

private:
    HGLOBAL global_;
    const BYTE* bytes_;
    SIZE_T size_;
};

}  // namespace velvane
