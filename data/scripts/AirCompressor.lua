-- AirCompressor.lua: the script of Air Compressor (room 21).
rooms = rooms or {}
rooms["AirCompressor"] = roomScript("AirCompressor")
