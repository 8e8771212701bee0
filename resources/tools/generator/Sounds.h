#pragma once
// The four sound effects, synthesised: 16-bit mono PCM WAV files.
#include <string>
#include <vector>

// The WAV file bytes of a sound name; empty for an unknown name.
std::vector<unsigned char> SynthesiseSound(const std::string& name);
