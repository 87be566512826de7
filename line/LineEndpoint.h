#pragma once
// A line's endpoint lives with the port interface, so that the transports below line/ (the
// TCP port in network/) can take it too.

#include "modbus/LineEndpoint.h"
