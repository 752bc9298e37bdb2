#pragma once
// The prepared-report file (.qrp): the pages of a PageStore as they were laid
// out, so that a report can be saved from the preview and opened again later
// without the catalogue that produced it. The layout is described at the top
// of qrp.cpp.

#include <QByteArrayView>
#include <QString>

#include "reports/engine/prepared.h"

class QIODevice;

namespace kmx::reports {

// Writes the store to the stream; false with the reason in *error. The file
// overload replaces the file only when everything was written.
bool saveQrp(const PageStore& store, QIODevice& out, QString* error);
bool saveQrp(const PageStore& store, const QString& path, QString* error);

// Reads a prepared report into the store, replacing what it held (current
// page 1). Any input is checked in full first: on a failure the store is left
// as it was and *error holds the reason.
bool loadQrp(PageStore& store, QIODevice& in, QString* error);
bool loadQrp(PageStore& store, const QString& path, QString* error);
bool loadQrp(PageStore& store, QByteArrayView bytes, QString* error);

}  // namespace kmx::reports
