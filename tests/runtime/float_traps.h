// Makes a floating-point division by zero fault, as the probe needs.
#pragma once

void EnableFloatDivideTrap();
