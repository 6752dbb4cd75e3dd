#include <QtEndian>

#include "metafile/emf/emf_document.h"
#include "metafile/picture.h"
#include "metafile/wmf/wmf_header.h"
#include "metafile/wmf/wmf_records.h"

namespace mf {

PictureFormat DetectPictureFormat(const char* data, qsizetype size) {
    if (data == nullptr || size <= 0) return PictureFormat::Invalid;
    if (LooksLikeEmf(data, size)) return PictureFormat::Emf;
    if (size >= 4 && qFromLittleEndian<std::uint32_t>(data) == wmf::kPlaceableKey) {
        return wmf::IsPlaceableHeader(data, size) ? PictureFormat::PlaceableWmf
                                                  : PictureFormat::Invalid;
    }
    if (wmf::IsMetaHeader(data, size)) return PictureFormat::PlainWmf;
    return PictureFormat::Invalid;
}

}  // namespace mf
