// After a launch service or menu action has returned: every heap block
// released and every process and thread handle closed.
#ifndef AUTORUN_LAUNCH_BALANCE_H
#define AUTORUN_LAUNCH_BALANCE_H

#include <gtest/gtest.h>

#include "substitute/substitute.h"

inline void ExpectNothingHeld()
{
    HostLaunchBalance balance = HostLiveLaunchObjects();
    EXPECT_EQ(balance.heapBlocks, 0);
    EXPECT_EQ(balance.processes, 0);
    EXPECT_EQ(balance.threads, 0);
    EXPECT_EQ(balance.misuses, 0);
}

#endif
