#pragma once
// How the last transfer ended (TFTPResult) and what the server is doing (TFTPState).
namespace basTFTP {

enum TFTPStateCode { StateIdle = 0, StateSending = 1, StateLastSent = 2, StateReceiving = 4 };

enum TFTPResultCode {
    // Set whenever the server loads, so a transfer that was stopped never reads as complete.
    ResultNotFinished = -1,
    ResultComplete = 0,
    ResultSendError = 1,
    ResultNoAnswer = 2,
    ResultNameMismatch = 3,
    ResultErrorReceived = 4,
    ResultIllegalOpcode = 5,
    ResultFileOpen = 6,
    ResultIllegalBlock = 7,
    ResultWriteError = 8,
    ResultBadLength = 9,
    ResultTooLarge = 10,
};

}  // namespace basTFTP
