// The first start on a host root that was never set up (no registry.db): the
// root is set up as "v7-host init" does, by the same code, and the station
// drivers are started through their systemd unit where it is installed;
// where it is not, a message says how to start them. Any other start does
// nothing here.
#pragma once

void SetUpHostOnFirstStart();
