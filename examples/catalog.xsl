<?xml version="1.0" encoding="ISO-8859-1"?>
<xsl:stylesheet>
  <xsl:template match=".">
    <html>
      <head>
        <meta charset="ISO-8859-1"/>
        <title><xsl:value-of select="@name"/></title>
        <style>
          body { font-family: sans-serif; margin: 2em auto; max-width: 56em; color: #222; }
          h1 { border-bottom: 3px solid #6a4; padding-bottom: .2em; }
          h2 { color: #463; margin-top: 1.5em; }
          table { border-collapse: collapse; width: 100%; }
          th, td { text-align: left; padding: .35em .7em; border-bottom: 1px solid #ddd; }
          th { background: #eef4ea; }
          td.num { text-align: right; }
          .out { color: #b22; font-weight: bold; }
          .empty { color: #888; font-style: italic; }
          footer { margin-top: 2em; color: #888; font-size: small; }
        </style>
      </head>
      <body>
        <h1><xsl:value-of select="@name"/></h1>
        <p>Updated<xsl:value-of select="' ' + @updated"/></p>
        <p>Shelves:<xsl:value-of select="format(childcount, ' %d')"/></p>
        <xsl:apply-templates select="name='shelf'"/>
        <footer>Made with Brindle 4</footer>
      </body>
    </html>
  </xsl:template>

  <xsl:template match="name='shelf'">
    <h2><xsl:value-of select="@subject"/></h2>
    <xsl:choose>
      <xsl:when test="childcount = 0">
        <p class="empty">No books on this shelf yet.</p>
      </xsl:when>
      <xsl:otherwise>
        <table>
          <tr><th>Title</th><th>Author</th><th>Year</th><th>Price</th><th>In stock</th></tr>
          <xsl:apply-templates select="name='book'">
            <xsl:sort select="child::title"/>
          </xsl:apply-templates>
        </table>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template match="name='book'">
    <tr>
      <xsl:attribute name="id"><xsl:value-of select="@id"/></xsl:attribute>
      <td><xsl:value-of select="child::title"/></td>
      <td><xsl:value-of select="child::author"/></td>
      <td class="num"><xsl:value-of select="child::year"/></td>
      <td class="num"><xsl:value-of select="child::price + ' ' + child::price@currency"/></td>
      <td class="num">
        <xsl:choose>
          <xsl:when test="child::stock = 0"><span class="out">sold out</span></xsl:when>
          <xsl:otherwise><xsl:value-of select="child::stock"/></xsl:otherwise>
        </xsl:choose>
      </td>
    </tr>
  </xsl:template>
</xsl:stylesheet>
