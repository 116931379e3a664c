# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# capability_names.h for a library built by a Makefile of its own, with GNU make 4.3 or newer.
# Include this file from the folder where the copy is, and make what includes the header depend
# on it:
#   include capability_header/capability_names.mk
#   mylib.o: capability_names.h
# The header is made in the folder make runs in, by capability_header_gen, which the build
# machine's compiler builds with the build machine's flags (also when CC is a cross compiler), or
# by the packager's tool that CAPABILITY_HEADER_EXECUTABLE names. capability_names.sh does the
# work, safely when several makes reach the header at once. This file leaves the default goal to
# the including Makefile, and $(capability_header_outputs) names what clean removes.

capability_header_dir := $(patsubst %/,%,$(dir $(lastword $(MAKEFILE_LIST))))
capability_header_goal := $(.DEFAULT_GOAL)
CXX_FOR_BUILD ?= c++
CXXFLAGS_FOR_BUILD ?= -O2
capability_header_sources := $(addprefix $(capability_header_dir)/generator/,cap_table.cpp main.cpp)
capability_header_headers := $(addprefix $(capability_header_dir)/generator/,cap_table.h header_writer.h slot_index.h)
capability_header_outputs := capability_header_gen capability_names.stamp capability_names.h
capability_header_tool := $(or $(CAPABILITY_HEADER_EXECUTABLE),capability_header_gen)

# The stamp names the tool that made the header. The header is made again when it is missing or
# another tool is asked for, and otherwise when a source or the packager's tool changes. Our
# sources are named one by one, so that make stops when the copy lacks them.
ifneq ($(capability_header_tool) capability_names.h,$(file <capability_names.stamp) $(wildcard capability_names.h))
capability_names.stamp: capability_header_again
endif
capability_names.stamp: $(capability_header_sources) $(capability_header_headers) $(wildcard $(CAPABILITY_HEADER_EXECUTABLE))
	$(SHELL) $(capability_header_dir)/capability_names.sh $(if $(CAPABILITY_HEADER_EXECUTABLE),'$(CAPABILITY_HEADER_EXECUTABLE)',\
	  '' '$(CXX_FOR_BUILD)' $(CXX_FOR_BUILD) -std=c++17 $(CPPFLAGS_FOR_BUILD) $(CXXFLAGS_FOR_BUILD) $(LDFLAGS_FOR_BUILD) $(capability_header_sources))
capability_names.h: capability_names.stamp ;
.PHONY: capability_header_again

.DEFAULT_GOAL := $(capability_header_goal)
