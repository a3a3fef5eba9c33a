#pragma once
#include "devsim/DeviceSim.h"

#include <QStringList>

// Reads qln-devsim's command line (arguments include the program name). False with `error`
// set on a bad option.
bool ParseDeviceSimOptions(const QStringList& arguments, DeviceSim::Options& options, bool& verbose, QString& error);
