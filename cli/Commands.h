// The commands of the client, each a plain function of its session that returns the exit
// status. The command table (Cli.cpp) checks the operand count and the options first.
#pragma once

#include "Session.h"

namespace tavolex::cli {

int ReadOnce(Session& session);
int LogContinuously(Session& session);

int ShowVersion(Session& session);
int SetChannels(Session& session);
int ShowOffsets(Session& session);
int SetOneOffset(Session& session);
int CalibrateLowTemperature(Session& session);
int ShowClock(Session& session);
int SetClock(Session& session);
int ShowInterval(Session& session);
int SetInterval(Session& session);
int WipeIds(Session& session);

int CountRecords(Session& session);
int DownloadAllRecords(Session& session);
int DeleteRecords(Session& session);

int ReadSn(Session& session);
int RegisterSemiAutomatic(Session& session);
int RegisterManual(Session& session);
int RegisterFullyAutomatic(Session& session);
int RegisterFile(Session& session);

int ShowPt100Parameters(Session& session);
int CalibratePt100Channel(Session& session);
int ShowPt100Temperatures(Session& session);

int ListPorts(Session& session);

}  // namespace tavolex::cli
