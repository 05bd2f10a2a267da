#include "ExportSamples.h"

std::string AppleRecord(const std::string& source, const std::string& start,
                        const std::string& value, const std::string& type) {
    return "  <Record type=\"" + type + "\" sourceName=\"" + source +
           "\" sourceVersion=\"17.1\" device=\"&lt;&lt;HKDevice: 0x2&gt;&gt;, name:iPhone\" "
           "unit=\"count\" creationDate=\"" +
           start + "\" startDate=\"" + start + "\" endDate=\"" + start + "\" value=\"" + value +
           "\">\n   <MetadataEntry key=\"HKWasUserEntered\" value=\"0\"/>\n  </Record>\n";
}

const char kBrokenDtd[] = R"(<!DOCTYPE HealthData [
<!-- HealthKit Export Version: 14 -->
<!ELEMENT HealthData (ExportDate,Me,(Record|Correlation|Workout|VisionPrescription)*)>
<!ATTLIST HealthData
  locale CDATA #REQUIRED
>
<!ELEMENT Record ((MetadataEntry|HeartRateVariabilityMetadataList)*)>
<!ATTLIST Record
  type          CDATA #REQUIRED
  unit          CDATA #IMPLIED
  value         CDATA #IMPLIED
  sourceName    CDATA #REQUIRED
  startDate     CDATA #REQUIRED
  endDate       CDATA #REQUIRED
>
<!ELEMENT VisionPrescription ((RightEye|LeftEye|Attachment|MetadataEntry)*)>
<!ATTLIST VisionPrescription
  type             CDATA #REQUIRED
  dateIssued       CDATA #REQUIRED
  expirationDate   CDATA #IMPLIED
<!ELEMENT RightEye EMPTY>
<!ATTLIST RightEye
  sphere CDATA #IMPLIED
>
]>
)";

std::string AppleExport(const std::string& records, const std::string& doctype) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + doctype +
           "<HealthData locale=\"en_US\">\n <ExportDate value=\"2024-03-05 10:00:00 +0100\"/>\n"
           " <Me HKCharacteristicTypeIdentifierDateOfBirth=\"\"/>\n" +
           records + "</HealthData>\n";
}

const char kGoogleHeader[] = "Date,Move Minutes count,Calories (kcal),Distance (m),Heart Points,"
                             "Heart Minutes,Average speed (m/s),Step count,Walking duration (ms)\n";

std::string FitbitSample(const std::string& when, const std::string& value) {
    return "{\n  \"dateTime\" : \"" + when + "\",\n  \"value\" : \"" + value + "\"\n}";
}
