-- Ardour, headless on its dummy backend, inserts the plug-in on a stereo
-- track and sees what a user sees: its name and maker, the latency it
-- compensates, a factory preset that loads.
AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:start(false)
-- An Ardour project of its own, in the folder given.
local project = create_session(arg[1], "ka813", 48000)
assert(project, "Ardour made no project")
local track = project:new_audio_track(2, 2, nil, 1, "Guitar", ARDOUR.PresentationInfo.max_order,
                                      ARDOUR.TrackMode.Normal, true):front()
local processor = ARDOUR.LuaAPI.new_plugin(project, "urn:ka813:preamp", ARDOUR.PluginType.LV2, "")
assert(not processor:isnil(), "Ardour does not find urn:ka813:preamp")
assert(track:add_processor_by_index(processor, 0, nil, true) == 0, "the plug-in was not inserted")
local plugin = processor:to_insert():plugin(0)
print("name: " .. plugin:name() .. ", maker: " .. plugin:maker())
assert(plugin:name() == "Varden_Ka318_v1_1" and plugin:maker() == "Orvex Plugins")
-- 4x at 48 kHz: 4.57 frames, reported as 5.
print("latency: " .. processor:signal_latency())
assert(processor:signal_latency() == 5, "latency")
local preset = plugin:preset_by_label("Modern Metal")
assert(preset, "no preset Modern Metal")
assert(plugin:load_preset(preset), "the preset does not load")
close_session()
print("ardour: ok")
