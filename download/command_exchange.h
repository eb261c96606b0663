#pragma once
// One command of the download with its retries: sent up to the step's number of attempts, each waited
// for with the step's time-out, with the step's pause after every attempt that fails.
#include <cstdint>
#include <functional>

#include "download/protocol.h"

// Forgets replies owed from an earlier run (a new run talks to a freshly opened port).
void ResetRepliesDue();

// Sends with fnSend until a reply with the success status arrives or the attempts are used up. Replies
// owed by earlier attempts that timed out are waited out first: nothing in a reply says which command it
// answers, so a late one would otherwise pass for this command's. *pnLastWait receives the last wait's
// result; fnOnWait, when given, sees every attempt's. False when every attempt failed or the run is
// being aborted.
bool ExchangeCommand(const CommandStep& step, const std::function<void()>& fnSend, int32_t* pnLastWait,
                     const std::function<void(int32_t nWait)>& fnOnWait = nullptr);
