#pragma once

#include "metafile/dc/device_context.h"
#include "metafile/emf/emf_document.h"

namespace mf {

// Plays the EMF's records into a device context, one record at a time; a
// record too short for what it claims is skipped.
void PlayEmf(const EmfDocument& doc, DeviceContext& dc);

// The device setup that stretches the EMF's frame over `target` (device
// pixels of the output).
DeviceSetup SetupFor(const EmfDocument& doc, const QRectF& target,
                     const QTransform& deviceTransform, const QRectF& deviceBounds);

}  // namespace mf
