#pragma once
#include "devsim/DeviceSim.h"

#include <QStringList>

// Reads qln-devsim's command line (arguments include the program name). False with `error`
// set on a bad option.
bool ParseDeviceSimOptions(const QStringList& arguments, DeviceSim::Options& options, bool& verbose, QString& error);

// The devices of one qln-devsim: one Options per address of --address, each with its own seed
// (--seed + index), its own configuration (--config DIR: DIR/ADDRESS.conf where it exists) and
// the faults meant for it (--refuse CODE=STATUS@ADDRESSES applies to those addresses only).
bool ParseDeviceSimFleet(const QStringList& arguments, QList<DeviceSim::Options>& devices, bool& verbose, QString& error);

// "A", "A-B" (B an address or the last octet), "A..B", or a comma list of those; at most 1024
// addresses, each range rising. False with `error` naming the bad part.
bool ParseAddressList(const QString& text, QList<QHostAddress>& addresses, QString& error);
