# VYMERA_DEVICE_BRIDGE: whether the programs also reach the devices vymera-sim serves over its
# socket (the HID host lists them beside the system's, the tracker kit reaches its tracker). On in
# developer builds, off in Release and MinSizeRel; a release build that asks for it says so loudly.
if(CMAKE_BUILD_TYPE MATCHES "^(Release|MinSizeRel)$")
  set(VYMERA_RELEASE_BUILD ON)
  set(bridge_default OFF)
else()
  set(VYMERA_RELEASE_BUILD OFF)
  set(bridge_default ON)
endif()
set(VYMERA_DEVICE_BRIDGE ${bridge_default} CACHE BOOL
  "Programs also reach the simulated devices vymera-sim serves (ON in developer builds, OFF in Release)")
if(VYMERA_DEVICE_BRIDGE AND VYMERA_RELEASE_BUILD)
  message(WARNING "This release build's programs reach SIMULATED devices through vymera-sim (VYMERA_DEVICE_BRIDGE=ON)")
endif()
if(VYMERA_DEVICE_BRIDGE)
  message(STATUS "Device bridge: on (the HID host also lists vymera-sim's devices)")
else()
  message(STATUS "Device bridge: off (the system's HID devices only)")
endif()
