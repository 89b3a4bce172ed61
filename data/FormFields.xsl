<?xml version="1.0" encoding="UTF-8"?>
<!-- The fields shown on the form page, in their chosen (numeric) order. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="xml" encoding="UTF-8"/>
  <xsl:template match="/">
    <FormFields>
      <xsl:for-each select="/*/Fields/Field[FormFieldOptions/ShowField='TRUE']">
        <xsl:sort select="FormFieldOptions/FieldOrder" data-type="number" order="ascending"/>
        <xsl:copy-of select="."/>
      </xsl:for-each>
    </FormFields>
  </xsl:template>
</xsl:stylesheet>
