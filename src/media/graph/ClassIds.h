#pragma once
// Class identifier texts of every filter and object the program creates
// through the filter registry, and of the encoder's settings interface.

namespace clsid {
inline constexpr const char* FilterGraph = "E436EBB3-524F-11CE-9F53-0020AF0BA770";
inline constexpr const char* AsyncFileSource = "E436EBB5-524F-11CE-9F53-0020AF0BA770";
inline constexpr const char* SoundFileSource = "D51BD5A1-7548-11CF-A520-0080C77EF58A";
inline constexpr const char* MPEG1Splitter = "336475D0-942A-11CE-A870-00AA002FEAB5";
inline constexpr const char* Mp3Decoder = "38BE3000-DBF4-11D0-860E-00A024CFEF6D";
inline constexpr const char* DSoundRender = "79376820-07D0-11CF-A24D-0020AFD79767";
inline constexpr const char* FileWriter = "8596E5F0-0DA5-11D0-BD21-00A0C911CE86";
inline constexpr const char* LameEncoder = "B8D27088-DF5F-4B7C-98DC-0E91A1696286";
inline constexpr const char* WavWriter = "3C78B8E2-6C4D-11D1-ADE2-0000F8754B99";
inline constexpr const char* RawFileWriter = "36A5F770-FE4C-11CE-A8ED-00AA002FEAB5";
inline constexpr const char* AMTimeline = "78530B75-61F9-11D2-8CAD-00A024580902";
inline constexpr const char* RenderEngine = "64D8A8E0-80A2-11D2-8CF3-00A0C9441E20";
inline constexpr const char* CaptureGraphBuilder2 = "BF87B6E1-8C27-11D0-B3F0-00AA003761C5";
// Filters of this program's own, placed by the capture graph builder and the
// render engine.
inline constexpr const char* AudioConverter = "7A35C5B2-2E64-4F4B-9C1B-54A1E0F3D201";
inline constexpr const char* TimelineSource = "7A35C5B1-2E64-4F4B-9C1B-54A1E0F3D201";
// Interface identifier of the encoder's settings.
inline constexpr const char* IID_AudioEncoderProperties = "ca7e9ef0-1cbe-11d3-8d29-00a0c94bbfee";
} // namespace clsid

// Names under which the program's own filters join a graph.
inline constexpr const char* kAudioConverterName = "Audio Converter";
inline constexpr const char* kTimelineSourceName = "Timeline Source";
