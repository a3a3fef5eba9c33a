#pragma once

class SetupSession;

// Adds "***2000/06/12 09:05:03.042***" to the message list: a date line between operations.
void Sub_TimeStamp(SetupSession& s);
