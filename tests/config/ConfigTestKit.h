#pragma once
// Converting texts into an image, and writing expected records, for the configuration tests.
#include "config/ConfigConversion.h"
#include "config/RecordSinks.h"

#include <QByteArray>
#include <QtTest>

namespace kit {

struct Converted {
    config::ConversionResult result;
    QByteArray image;
    int collectPos = 0;
};

// A fresh image, Idents from 0.
inline Converted convert(const QByteArray& text)
{
    config::ImageSink sink;
    Converted c;
    c.result = config::ConvertConfigBytes(text, sink);
    c.image = sink.image();
    c.collectPos = sink.pos();
    return c;
}

// Record `index` of an image with its Ident bytes set to 0, so records compare by content.
inline QByteArray maskedRecord(const QByteArray& image, int index = 0)
{
    QByteArray r = image.mid(index * 64, 64);
    r.replace(4, 4, QByteArray(4, '\0'));
    return r;
}

// The record a table row describes: request header with `code`, Ident 0, Status 0xFF...,
// then the payload bytes from offset 12 in hexadecimal (blanks ignored), 0xFF to the end.
inline QByteArray expectedRecord(int code, const char* payloadHex)
{
    QByteArray r(64, char(0xFF));
    r[0] = 0;
    r[1] = 0;
    r[2] = char((code >> 8) & 0xFF);
    r[3] = char(code & 0xFF);
    r.replace(4, 4, QByteArray(4, '\0'));
    const QByteArray payload = QByteArray::fromHex(QByteArray(payloadHex).replace(' ', ""));
    r.replace(12, payload.size(), payload);
    return r.left(64);
}

}  // namespace kit
