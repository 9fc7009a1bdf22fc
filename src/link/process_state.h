#pragma once

// Puts every process-wide table and flag back to its start-up value, so that each test
// starts from the state the program starts in.
void ResetProcessState();
